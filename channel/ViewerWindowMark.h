#pragma once

// On Windows a viewer's main window carries a window property of this name, with a value that is
// not null, from its first show on. It is what senders of run-selection messages look for: the
// caption is no guide, since other windows share its start (the viewer's own message boxes, an
// Explorer window on the install folder, the installer). Other programs rely on this name, so it
// never changes.
inline constexpr wchar_t kViewerWindowProperty[] = L"Vantrel.MessageLogDisplay.MainWindow";
