#pragma once

// With mingw-w64, a thread that has run Qt's PCRE2 JIT (whose stack Qt keeps in a thread_local
// of its own DLL) hangs the process when it ends or when the process exits: the comparison's
// threads did, one run in two. There the engine interprets expressions instead, which has no
// such stack. Qt reads the switch once, at the first expression anyone makes, so it is set as the
// program starts, by the file of this function; whoever makes expressions calls it, so that the
// file is linked in. True once set (always, where there is nothing to set).
bool RegexEngineSet();
