// The standard streams made safe before anything is opened: a closed
// descriptor would be taken by the next file or connection opened, and a
// reader that goes away would end the game through SIGPIPE.
#pragma once

namespace shell {

// Opens /dev/null on each of descriptors 0 to 2 that is closed, and ignores
// SIGPIPE, so that a record that can no longer be written is only lost.
void guard_standard_streams();

}  // namespace shell
