#pragma once

// Windows only. Everything the program prints is UTF-8 (file names, the system's messages in
// the user's language), but a console shows bytes in its own code page. From this call on,
// std::cout and std::cerr hand a console their text as UTF-16, which it shows right whatever its
// code page, and a file or a pipe the UTF-8 bytes as they are, as on every other system.
void PrintUtf8OnConsoles();
