// The computer's move: both passes, the book nudges, the final order, the
// choice of the returned entry, the progress reports, the settings read from
// conf.ini, and a search stopped by its host.
#include "engine/computer_move.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "book/db.h"
#include "engine/memory_limit.h"
#include "engine/ponder.h"
#include "engine/root_pass.h"
#include "engine/strength.h"
#include "engine_test_support.h"
#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/standard_chess.h"

namespace {

using namespace engine_test;
using rules::move_text;

// Every root entry scored by the evaluation right after it: easy to foresee.
const engine::StrengthSettings ONE_PLY = strength(1, 1, 1, 0);
const engine::StrengthSettings GOLDEN_SETTINGS = strength(2, 1, 3, 2);

// Returns the root list of a position, end entry included.
std::vector<rules::Move> root_list(const rules::Position& p) {
  rules::MoveList list;
  return {list.begin(), list.begin() + rules::generate_moves(p.board, p.side, list)};
}

// Returns the reports of one pass over count entries up to entry upto: i / count.
std::vector<float> pass(std::size_t count, std::size_t upto) {
  std::vector<float> reports;
  for (std::size_t i = 0; i < upto; ++i) reports.push_back(static_cast<float>(i) / count);
  return reports;
}

// Returns the reports of a run, in order.
std::vector<float> run_of(std::initializer_list<std::vector<float>> segments) {
  std::vector<float> reports;
  for (const std::vector<float>& segment : segments)
    reports.insert(reports.end(), segment.begin(), segment.end());
  return reports;
}

TEST(ComputerMove, WinEndsThePassThatFindsIt) {
  // The rook takes the king at once: the ordering pass sees it.
  const rules::Position p = position("4k3/8/8/8/8/8/4R3/4K3 w");
  const std::vector<rules::Move> list = root_list(p);
  const Outcome r = choose(p, GOLDEN_SETTINGS);
  EXPECT_EQ(move_text(r.choice.move), "e2e8");
  EXPECT_EQ(record_of(r.choice), "") << "no list is written on a win";
  // 0, then i / n up to the winning entry, and no final 1.
  const auto winner =
      static_cast<std::size_t>(std::find(list.begin(), list.end(), r.choice.move) - list.begin());
  EXPECT_EQ(r.reports, run_of({{0}, pass(list.size(), winner + 1)}));
  // a1a8 wins the king on ply 3: with the main pass at one ply and the cap at
  // three neither pass may look deeper; a main pass of three plies finds it.
  const rules::Position q = position("7k/6pp/8/8/8/8/8/R3K3 w");
  EXPECT_TRUE(choose(q, strength(1, 1, 3, 100000)).choice.listed) << "no win seen, a full list";
  const Outcome deep = choose(q, strength(3, 1, 3, 100000));
  EXPECT_EQ(move_text(deep.choice.move), "a1a8");
  EXPECT_FALSE(deep.choice.listed);
  EXPECT_NE(deep.reports.back(), 1.0f) << "no final report after a win";
}

TEST(ComputerMove, ProgressReportsFollowBothPasses) {
  // The start position, and one whose list is the pass alone.
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", "4k3/8/8/8/8/8/8/8 w"}) {
    const std::size_t n = root_list(position(fen)).size();
    const Outcome r = choose(position(fen), GOLDEN_SETTINGS);
    EXPECT_EQ(r.reports, run_of({{0}, pass(n, n), {1, 0}, pass(n, n), {1}})) << fen;
    EXPECT_TRUE(r.choice.listed) << fen;
    EXPECT_EQ(r.choice.move == rules::END_MOVE, n == 1) << fen << ": the pass only when alone";
  }
}

struct NudgeCase {
  const char* what;
  const char* fen;
  std::vector<BookRecord> records;
  const char* chosen;
  double score;  // the chosen move's score
};

// Returns count copies of one book record.
std::vector<BookRecord> repeated(rules::Move m, int mark, int count) {
  return std::vector<BookRecord>(static_cast<std::size_t>(count), BookRecord{m, mark});
}

TEST(ComputerMove, BookNudgesBreakTies) {
  const rules::Move h1g3 = move("h1", "g3"), h1f2 = move("h1", "f2"), e1d1 = move("e1", "d1");
  const rules::Move g1h3 = move("g1", "h3"), g8h6 = move("g8", "h6");
  const char* quiet_white = "4k3/8/8/8/8/8/8/4K2N w";    // every move scores 500
  const char* knight_white = "4k3/8/8/8/8/8/8/4K1N1 w";  // g1f3 scores 510, the rest 500
  const char* knight_black = "4k1n1/8/8/8/8/8/8/4K3 b";  // g8f6 scores -510, the rest -500
  const std::vector<NudgeCase> cases = {
      {"no book move: the first of the ties", quiet_white, {}, "e1e2", 500},
      {"one listing with the mover's mark", quiet_white, {{h1g3, 1}}, "h1g3", 500.1},
      {"a draw listing counts a tenth", quiet_white, {{h1f2, 0}, {e1d1, 1}}, "e1d1", 500.1},
      {"the opponent's mark counts nothing", quiet_white, repeated(h1g3, -1, 5), "e1e2", 500},
      {"both marks add up", quiet_white, {{h1g3, 0}, {h1g3, 1}}, "h1g3", 500.11},
      {"every listing counts", quiet_white, repeated(h1g3, 1, 11), "h1g3", 501.1},
      {"101 listings beat ten points", knight_white, repeated(g1h3, 1, 101), "g1h3", 510.1},
      {"99 listings do not", knight_white, repeated(g1h3, 1, 99), "g1f3", 510},
      {"black subtracts", knight_black, repeated(g8h6, -1, 101), "g8h6", -510.1},
      {"black ignores white's mark", knight_black, repeated(g8h6, 1, 101), "g8f6", -510},
  };
  for (const NudgeCase& c : cases) {
    const rules::Position p = position(c.fen);
    std::vector<BookPosition> book;
    if (!c.records.empty()) book.push_back({p.board, c.records});
    const engine::MoveChoice choice = choose(p, ONE_PLY, book).choice;
    EXPECT_EQ(move_text(choice.move), c.chosen) << c.what;
    EXPECT_EQ(choice.list[0], choice.move) << c.what;
    // A book hit leaves a trace for each of its two lookups.
    EXPECT_EQ(choice.book_traces, book.empty() ? 0 : 2) << c.what;
    // The nudges accumulate in single precision: close to, not exactly, n tenths.
    EXPECT_NEAR(choice.scores[0], c.score, 0.002) << c.what;
  }
}

TEST(ComputerMove, EndEntryIsNotChosenEvenWhenItScoresBest) {
  // Every white king move walks into a rook; standing still loses nothing.
  const engine::MoveChoice choice =
      choose(position("1r2k3/8/8/8/8/8/7r/K7 w"), strength(2, 2, 2, 100)).choice;
  ASSERT_TRUE(choice.listed);
  EXPECT_EQ(choice.list[0], rules::END_MOVE);
  EXPECT_EQ(choice.scores[0], -1200);
  EXPECT_EQ(choice.move, choice.list[1]);
  EXPECT_EQ(choice.scores[1], -100000);
}

TEST(SortByScore, BestFirstAndStableForBothSides) {
  // Against the standard library's stable sort: scores with many ties, and a
  // full list, longer than a signed 8-bit counter could walk.
  for (int count : {1, 2, 5, 40, rules::MOVE_LIST_CAPACITY}) {
    for (rules::Side side : {rules::WHITE, rules::BLACK}) {
      std::vector<float> scores;
      std::vector<rules::Move> moves;
      for (int i = 0; i < count; ++i) {
        scores.push_back(static_cast<float>(i * 5 % 7 - 3) * 0.1f);
        moves.push_back(static_cast<rules::Move>(i));
      }
      std::vector<rules::Move> order = moves;
      std::stable_sort(order.begin(), order.end(), [&](rules::Move a, rules::Move b) {
        return side == rules::WHITE ? scores[a] > scores[b] : scores[a] < scores[b];
      });
      std::vector<float> sorted_scores;
      for (rules::Move m : order) sorted_scores.push_back(scores[m]);
      engine::sort_by_score(scores.data(), moves.data(), count, side);
      EXPECT_EQ(moves, order) << count << " entries, side " << int{side};
      EXPECT_EQ(scores, sorted_scores) << "scores move along";
    }
  }
}

// Runs computer_move, which reads ./conf.ini, without a book.
engine::MoveChoice think(const rules::Position& p) {
  engine::Engine engine;
  return engine::computer_move(engine, p.board, p.side).choice;
}

TEST(ComputerMove, SettingsAreReadAfreshOnEveryMove) {
  // One ply grabs the defended pawn; two plies see the queen lost to c6xd5.
  const rules::Position p = position("4k3/8/2p5/3p4/8/8/8/3QK3 w");
  ScratchFolder folder;
  engine::Engine engine;
  std::ofstream("conf.ini") << "[ALGO]level=1;prelevel=1;maxlevel=1;complexity=0;";
  EXPECT_EQ(move_text(engine::computer_move(engine, p.board, p.side).choice.move), "d1d5");
  std::ofstream("conf.ini") << "[ALGO]level=2;prelevel=2;maxlevel=2;complexity=100;";
  EXPECT_NE(move_text(engine::computer_move(engine, p.board, p.side).choice.move), "d1d5");
}

TEST(ComputerMove, MissingConfIniMeansDepthZeroWithWarnings) {
  ScratchFolder folder;  // holds no conf.ini
  std::ostringstream warning;
  config::report_miss("section not found", warning);
  OutputCapture out;
  const engine::MoveChoice choice = think(position("4k3/8/2p5/3p4/8/8/8/3QK3 w"));
  EXPECT_EQ(out.text(), warning.str() + warning.str() + warning.str()) << "three depths read";
  // Chosen by the evaluation after the move; complexity's warning is the record's.
  EXPECT_EQ(record_of(choice).rfind(warning.str() + "d1d5 => 1110\n", 0), 0U);
}

// The warning for a missing complexity key comes when the main pass reads the
// value, so a move that the ordering pass decides owes none.
TEST(ComputerMove, MissingComplexityIsReportedWhenTheMainPassReadsIt) {
  ScratchFolder folder;
  std::ofstream("conf.ini") << "[ALGO]level=1;prelevel=1;maxlevel=1;";
  EXPECT_EQ(think(position("4k3/8/8/8/8/8/4R3/4K3 w")).complexity_miss, nullptr);
  const std::string record = record_of(think(position("4k3/8/8/8/8/8/8/4K3 w")));
  EXPECT_EQ(record.rfind("WARNING\tvalue not found\n", 0), 0U);
  EXPECT_NE(record.find("\ne1e2 => 0\n"), std::string::npos);
}

// The ALGO keys, and one note for standard error for each value not used as
// written, naming what the file says.
TEST(ComputerMove, StrengthSettingsReadTheirKeys) {
  struct Case {
    const char* ini;
    // level, prelevel, maxlevel, complexity, threads, hash, soundkings, ponder, and the
    // additions: search=club, nodes, variety, legalcastling
    std::vector<int> values;
    std::vector<std::string> notes;
  };
  const std::string every_core = std::to_string(engine::search_thread_count(0));
  const Case cases[] = {
      {"[ALGO]level=7;prelevel=3;maxlevel=8;complexity=14;",
       {7, 3, 8, 14, 0, 0, 0, 0, 0, 0, 0, 0},
       {}},
      {"[ALGO]level=7;prelevel=3;maxlevel=8;complexity=14;threads=1;hash=256;soundkings=on;"
       "ponder=on;",
       {7, 3, 8, 14, 1, 256, 1, 1, 0, 0, 0, 0},
       {}},
      {"[ALGO]level=20;prelevel=4;maxlevel=8;complexity=10;search=club;nodes=800000;variety=15;"
       "legalcastling=on;",
       {20, 4, 8, 10, 0, 0, 0, 0, 1, 800000, 15, 1},
       {}},
      {"[ALGO]level=2;prelevel=1;maxlevel=3;complexity=2;search=deep;nodes=-5;variety=1001;"
       "legalcastling=yes;",
       {2, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0},
       {"morva: conf.ini: search=deep is not a search (club); the game's own is used",
        "morva: conf.ini: nodes=-5 is not a number of positions; no limit is used",
        "morva: conf.ini: variety=1001 is not a margin from 0 to 1000; 0 is used"}},
      {"[ALGO]level=2;prelevel=1;maxlevel=3;complexity=2;hash=-5;threads=x;soundkings=yes;ponder="
       "1;",
       {2, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0},
       {"morva: conf.ini: threads=x is not a number of threads; " + every_core +
            " (every core) is used",
        "morva: conf.ini: hash=-5 is not a size in MiB from 1 to 65536; 64 is used"}},
      {"[ALGO]level=2;prelevel=1;maxlevel=3;complexity=2;hash=1e9;threads=99999999999;",
       {2, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0},
       {"morva: conf.ini: threads=99999999999 is not a number of threads; " + every_core +
            " (every core) is used",
        "morva: conf.ini: hash=1e9 is not a size in MiB from 1 to 65536; 64 is used"}},
      {"[ALGO]level=99999999999999999999;prelevel=abc;maxlevel=3500;complexity=0;",
       {64, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {"morva: conf.ini: level=99999999999999999999 is deeper than 64 plies; 64 is used",
        "morva: conf.ini: prelevel=abc is not a whole number; 0 is used",
        "morva: conf.ini: maxlevel=3500 is deeper than 64 plies; 64 is used"}},
  };
  for (const Case& c : cases) {
    config::IniText ini;
    ini.length = static_cast<int>(std::string(c.ini).copy(ini.text, config::INI_CAPACITY));
    std::vector<std::string> notes;
    const engine::StrengthSettings s = engine::read_strength(ini, notes);
    EXPECT_EQ(std::vector<int>({s.level, s.prelevel, s.maxlevel, s.complexity, s.threads,
                                s.hash_mib, s.sound_kings, s.ponder, s.club,
                                static_cast<int>(s.nodes), s.variety, s.legal_castling}),
              c.values)
        << c.ini;
    EXPECT_EQ(notes, c.notes) << c.ini;
  }
  // The table takes at most a quarter of the memory the process may use.
  std::vector<std::string> notes;
  EXPECT_EQ(engine::bounded_table_mib(4096, "conf.ini: hash=4096", 1536ULL << 20, notes), 384);
  EXPECT_EQ(engine::bounded_table_mib(0, "the default", 128ULL << 20, notes), 32);
  EXPECT_EQ(engine::bounded_table_mib(256, "conf.ini: hash=256", 1536ULL << 20, notes), 256);
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "morva: conf.ini: hash=4096 is more than a quarter of the 1536 MiB of "
                       "memory this program may use; 384 is used",
                       "morva: the default is more than a quarter of the 128 MiB of memory this "
                       "program may use; 32 is used"}));
}

// The memory limit of the control groups: the least of the process's own group
// and those above it, below the mount point (which may show a group of its own).
TEST(ComputerMove, MemoryLimitIsTheLeastOfTheGroupAndThoseAboveIt) {
  struct Case {
    std::string cgroups, mountinfo;                          // the hierarchy mounted at /cg
    std::vector<std::pair<std::string, const char*>> files;  // limits below /cg
    std::uint64_t least;
  } cases[] = {
      {"4:memory:/a/b\n0::/\n",
       "35 31 0:32 / /cg rw - cgroup cgroup rw,memory\n",
       {{"a/b", "3221225472"}, {"a", "1610612736\n"}, {"", "9223372036854771712"}},
       1610612736},
      {"4:memory:/docker/c/g\n",
       "35 31 0:32 /docker/c /cg rw - cgroup cgroup rw,memory\n",
       {{"docker/c/g", "1"}, {"g", "2147483648"}},
       2147483648},
      {"0::/a/b\n4:memory:/\n",
       "31 23 0:28 / /cg rw - cgroup2 cgroup2 rw\n",
       {{"a/b", "max"}, {"a", "1073741824"}},
       1073741824},
      {"4:memory:/\n", "35 31 0:32 / /cg rw - cgroup cgroup rw,cpu\n", {{"", "1"}}, UINT64_MAX}};
  for (const Case& c : cases) {
    ScratchFolder folder;
    const bool v2 = c.mountinfo.find("cgroup2") != std::string::npos;
    for (const auto& [group, limit] : c.files) {
      std::filesystem::create_directories("cg/" + group);
      std::ofstream("cg/" + group + (v2 ? "/memory.max" : "/memory.limit_in_bytes")) << limit;
    }
    EXPECT_EQ(engine::control_group_limit(c.cgroups, c.mountinfo, folder.path().string()), c.least)
        << c.cgroups << c.mountinfo;
  }
}

// No setting makes a line deeper than MAX_DEPTH plies: on an empty board
// every position has only the pass, so each line runs to the depth cap.
TEST(ComputerMove, DepthsBeyondTheCapStopThere) {
  const Outcome r = choose(position("8/8/8/8/8/8/8/8 w"), strength(3500, 3, 3500, 0));
  EXPECT_EQ(scores(r.choice), std::vector<float>{-100000});
}

TEST(ComputerMove, HostStopsADeepSearch) {
  const rules::Position p = position("r1bqk2r/p1pp1ppp/2p2n2/8/1b2P3/2N5/PPP2PPP/R1BQKB1R w");
  const std::size_t n = root_list(p).size();
  const engine::StrengthSettings settings = strength(3, 2, 4, 3, 2);
  engine::Engine engine;
  const engine::MoveChoice before = choose(engine, p, settings).choice;
  // The ordering pass looks once an entry; the main pass at 60 plies would
  // never end its first entry, and is stopped while it searches it.
  const Outcome stopped = choose(engine, p, strength(60, 1, 60, 14, 2), static_cast<int>(n) + 100);
  EXPECT_TRUE(stopped.choice.stopped);
  EXPECT_EQ(stopped.looks, stopped.stop_at) << "not asked again once stopped";
  EXPECT_EQ(stopped.reports, run_of({{0}, pass(n, n), {1, 0}, pass(n, 1)}));
  EXPECT_EQ(record_of(stopped.choice), "") << "nothing is written of a stopped choice";
  // Values are exact, whatever the killers, history and table hold.
  engine.new_game();
  const engine::MoveChoice after = choose(engine, p, settings).choice;
  EXPECT_EQ(after.move, before.move);
  EXPECT_EQ(entries(after), entries(before));
  EXPECT_EQ(scores(after), scores(before));
}

}  // namespace

namespace {

// Returns whether side's king can be taken by the other side's next move.
bool king_capturable(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, rules::other_side(side), list);
  for (int i = 0; i < n; ++i) {
    if (rules::king_gone(rules::make_move(b, list[i]), side)) return true;
  }
  return false;
}

// With sound kings the computer never leaves its king to be taken where a
// move exists that does not: over the bench suites' positions from real games,
// with each side to move.
TEST(ComputerMove, SoundKingsKeepTheKing) {
  engine::Engine engine;
  engine::StrengthSettings designed = strength(3, 2, 3, 100);
  designed.sound_kings = true;
  engine::StrengthSettings club = designed;  // a club step with a small budget
  club.club = club.legal_castling = true;
  club.nodes = 5000;
  club.variety = 20;
  int checked = 0;
  for (const engine::StrengthSettings& s : {designed, club})
    for (const char* suite : {"all-phase-positions.txt", "bench-positions.txt"}) {
      std::ifstream in(std::string(MORVA_DATA_DIR) + "/../bench/" + suite);
      for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        for (rules::Side side : {rules::WHITE, rules::BLACK}) {
          const rules::Board b = position(line).board;
          rules::MoveList list;
          const int n = rules::generate_moves(b, side, list);
          const bool can_keep = std::any_of(list.begin(), list.begin() + n, [&](rules::Move m) {
            return !king_capturable(rules::make_move(b, m), side);
          });
          const rules::Move chosen = choose(engine, {b, side}, s).choice.move;
          EXPECT_FALSE(can_keep && king_capturable(rules::make_move(b, chosen), side))
              << line << " side " << side << " plays " << move_text(chosen);
          ++checked;
        }
      }
    }
  EXPECT_GT(checked, 500);
}

}  // namespace

namespace {

// Thinking on the human's time: every kept reply is exactly the choice a
// fresh engine makes in that position (the default book consulted), and
// computer_move returns it at once, with one run of progress, when conf.ini
// still holds the settings it was found under.
TEST(Ponderer, KeptRepliesAreTheChoicesOfAFreshEngine) {
  const auto default_book = [] { return *book::load_book(std::string(MORVA_DATA_DIR) + "/db"); };
  // After 1. e4 c5 2. Nf3: white thinks about black's replies from the book.
  const rules::Position human = position("rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b");
  const engine::StrengthSettings settings = strength(3, 2, 4, 3, 2);
  // A club step: its seed and the castling rights, those after each human
  // move derived by the ponderer, are part of what a kept reply is kept by.
  engine::StrengthSettings club = settings;
  club.sound_kings = club.club = club.legal_castling = true;
  club.nodes = 3000;
  club.variety = 20;
  club.game = {7, rules::chess_start().castling_rights};
  engine::Engine engine(default_book());
  engine::Ponderer ponderer(engine);
  // Stopped long before it could finish: nothing kept, and the engine free.
  ponderer.start(human.board, human.side, strength(60, 1, 60, 14, 2));
  ponderer.stop();
  EXPECT_EQ(ponderer.wait_until_done(), 0);
  const std::vector<rules::Move> replies = root_list(human);
  for (const engine::StrengthSettings& s : {club, settings}) {
    ponderer.start(human.board, human.side, s);
    EXPECT_EQ(ponderer.wait_until_done(), static_cast<int>(replies.size()) - 1) << "end entry";
    engine::Engine fresh(default_book());
    int book_lines = 0;
    for (rules::Move m : replies) {
      if (m == rules::END_MOVE) continue;
      const rules::Position after{rules::make_move(human.board, m), rules::WHITE};
      engine::StrengthSettings reply = s;
      reply.game.castling_rights = rules::castling_rights_after(s.game.castling_rights, m);
      const engine::MoveChoice* kept = ponderer.kept(after.board, after.side, reply);
      ASSERT_NE(kept, nullptr) << move_text(m);
      const engine::MoveChoice expected = choose(fresh, after, reply).choice;
      EXPECT_EQ(record_of(*kept) + move_text(kept->move),
                record_of(expected) + move_text(expected.move))
          << move_text(m);
      book_lines += kept->book_traces;
      engine::StrengthSettings other = reply;
      other.game.seed = s.variety > 0 ? 8 : other.game.seed;
      other.complexity = 4;
      EXPECT_EQ(ponderer.kept(after.board, after.side, other), nullptr);
      if (!s.club) {  // the club search reads sound kings always
        engine::StrengthSettings sound = reply;
        sound.sound_kings = !reply.sound_kings;
        EXPECT_EQ(ponderer.kept(after.board, after.side, sound), nullptr);
      }
    }
    EXPECT_EQ(book_lines > 0, !s.club) << "the game's search is nudged by the book";
  }
  // computer_move takes the kept reply while conf.ini holds its settings.
  ScratchFolder folder;
  std::ofstream("conf.ini") << "[ALGO]level=3;prelevel=2;maxlevel=4;complexity=3;threads=1;";
  const rules::Position after{rules::make_move(human.board, replies[0]), rules::WHITE};
  Outcome run;
  engine::SearchHost host{&run,
                          [](void* r, float f) { static_cast<Outcome*>(r)->reports.push_back(f); }};
  const engine::MoveChoice taken =
      engine::computer_move(engine, after.board, after.side, host, &ponderer).choice;
  EXPECT_EQ(record_of(taken), record_of(*ponderer.kept(after.board, after.side, settings)));
  EXPECT_EQ(run.reports, (std::vector<float>{0, 1}));
  ponderer.forget();
  EXPECT_EQ(ponderer.kept(after.board, after.side, settings), nullptr);
}

}  // namespace
