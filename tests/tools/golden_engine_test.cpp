// morva-cli eval, key, think and play against the reference outputs, each think
// and play case run in a fresh folder holding its conf.ini and the reference book.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run_command.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using tools_test::read_file;
using tools_test::run;

const std::string CLI = MORVA_CLI;
const fs::path GOLDEN = fs::path(MORVA_TEST_DATA_DIR) / "golden";

// Returns the text of a file without its final line feed, if any.
std::string first_line_of(const fs::path& path) {
  std::string text = read_file(path.string());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Returns the case folders below a golden folder, in name order.
std::vector<fs::path> cases_in(const fs::path& folder) {
  std::vector<fs::path> cases;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_directory()) cases.push_back(entry.path());
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

// A scratch folder holding a case's conf.ini and the reference book as db/.
struct CaseFolder {
  explicit CaseFolder(const fs::path& golden_case) {
    fs::copy_file(golden_case / "conf.ini", folder.path() / "conf.ini");
    fs::copy(GOLDEN / "book" / "db", folder.path() / "db");
  }
  std::string path() const { return folder.path().string(); }
  test_support::ScratchFolder folder;
};

// Returns a text with a line feed added.
std::string line_of(std::string text) {
  text += '\n';
  return text;
}

TEST(CliEngineGolden, EvalAndKey) {
  std::ifstream in(GOLDEN / "eval-key.txt");
  int rows = 0;
  for (std::string line; std::getline(in, line); ++rows) {
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    ASSERT_NE(tab2, std::string::npos) << line;
    const std::string fen = line.substr(0, tab1);
    EXPECT_EQ(run(CLI, {"eval", fen}).out, line_of(line.substr(tab1 + 1, tab2 - tab1 - 1))) << fen;
    EXPECT_EQ(run(CLI, {"key", fen}).out, line_of(line.substr(tab2 + 1))) << fen;
  }
  EXPECT_GE(rows, 100);
}

// One case folder: think/NN holds a fen, play/NN the number of pairs.
struct GoldenCase {
  std::string command;  // "think" or "play"
  std::string name;     // the folder's name, NN
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.command << "/" << c.name; }

// Returns the cases of a command, in name order.
std::vector<GoldenCase> cases_of(const std::string& command) {
  std::vector<GoldenCase> cases;
  for (const fs::path& folder : cases_in(GOLDEN / command)) {
    cases.push_back({command, folder.filename().string()});
  }
  return cases;
}

class CliEngineGoldenCase : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CliEngineGoldenCase, MatchesByteForByte) {
  const GoldenCase& c = GetParam();
  const fs::path folder_of_case = GOLDEN / c.command / c.name;
  const std::string input =
      first_line_of(folder_of_case / (c.command == "think" ? "fen" : "pairs"));
  const CaseFolder folder(folder_of_case);
  const auto r = run(CLI, {c.command, input}, folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, read_file((folder_of_case / "expected.txt").string()));
}

std::string case_name(const ::testing::TestParamInfo<GoldenCase>& info) {
  return info.param.command + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Think, CliEngineGoldenCase, ::testing::ValuesIn(cases_of("think")),
                         case_name);
INSTANTIATE_TEST_SUITE_P(Play, CliEngineGoldenCase, ::testing::ValuesIn(cases_of("play")),
                         case_name);

TEST(CliEngineGolden, EveryCaseIsThere) {
  EXPECT_GE(cases_of("think").size(), 19U);
  EXPECT_GE(cases_of("play").size(), 2U);
}

TEST(CliEngine, DefaultDataPlaysFromTheBook) {
  // The game's own conf.ini and book: the starting position is in the book.
  std::string pattern = (fs::temp_directory_path() / "morva-default-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern;
  fs::copy_file(fs::path(MORVA_DATA_DIR) / "conf.ini", folder / "conf.ini");
  fs::copy(fs::path(MORVA_DATA_DIR) / "db", folder / "db");
  const auto r =
      run(CLI, {"think", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"}, folder.string());
  fs::remove_all(folder);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(" (find at pos : 0)  (find at pos : 0) ", 0), 0U) << r.out;
  // Twenty moves and the pass, then the chosen move.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 22) << r.out;
}

TEST(CliEngine, MissingBookIndexEndsWithTheErrorReport) {
  const fs::path c = GOLDEN / "think" / "01";
  const CaseFolder folder(c);
  fs::remove_all(fs::path(folder.path()) / "db");
  const auto r = run(CLI, {"think", first_line_of(c / "fen")}, folder.path());
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out.rfind("ERROR\tcannot open file ./db/index.db\n\tfile db.cpp line ", 0), 0U)
      << r.out;
}

// hash=8192 in a version-1 memory group of 1.5 GiB (made below the test's own
// group, as root where version 1's memory hierarchy is mounted): the table takes
// a quarter of the group's limit and the search runs to its end, where a table
// sized by the machine's memory would have the kernel end it once filled.
TEST(CliEngine, TableFitsAVersion1MemoryGroup) {
  std::ifstream cgroups("/proc/self/cgroup");
  std::string line, own;
  while (std::getline(cgroups, line) && own.empty()) {
    if (line.find(":memory:") != std::string::npos) own = line.substr(line.find(":memory:") + 8);
  }
  const fs::path group =
      "/sys/fs/cgroup/memory" + own + "/morva-test-" + std::to_string(::getpid());
  std::error_code error;
  if (own.empty() || !fs::create_directory(group, error)) GTEST_SKIP() << "cannot make " << group;
  std::ofstream(group / "memory.limit_in_bytes") << (1536LL << 20);
  const CaseFolder folder(GOLDEN / "think" / "01");
  std::ofstream(folder.path() + "/conf.ini") << "[ALGO]level=6;prelevel=3;maxlevel=7;complexity=8;"
                                                "hash=8192;";
  const auto r =
      run("/bin/sh",
          {"-c", "echo $$ >\"$1\" && exec \"$0\" think \"$2\"", CLI,
           (group / "cgroup.procs").string(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"},
          folder.path());
  fs::remove(group, error);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("hash=8192 is more than a quarter of the 1536 MiB of memory this program "
                       "may use; 384 is used"),
            std::string::npos)
      << r.err;
}

TEST(CliEngine, PlayZeroPairsWritesNothing) {
  const CaseFolder folder(GOLDEN / "play" / "01");
  const auto r = run(CLI, {"play", "0"}, folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

}  // namespace
