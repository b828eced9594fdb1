#include <windows.h>

#include <QString>
#include <iostream>
#include <optional>
#include <vector>

#include "Message.h"
#include "SelectRunSender.h"
#include "ViewerWindowMark.h"

namespace {

// Covers the delivery and the viewer's routing of the request.
constexpr UINT kAnswerTimeoutMs = 5000;

struct ViewerWindow {
  HWND handle = nullptr;
  DWORD processId = 0;
};

int Fail(const QString& reason) {
  std::cerr << "message-log-display: " << reason.toUtf8().constData() << "\n";
  return 1;
}

// A viewer's main window: marked, shown, and owned by no other window, as the dialogs and
// message boxes that stand above it are.
bool IsViewerWindow(HWND window) {
  return GetPropW(window, kViewerWindowProperty) != nullptr && IsWindowVisible(window) &&
         GetWindow(window, GW_OWNER) == nullptr;
}

BOOL CALLBACK CollectViewerWindow(HWND window, LPARAM found) {
  if (IsViewerWindow(window)) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    reinterpret_cast<std::vector<ViewerWindow>*>(found)->push_back({window, processId});
  }
  return TRUE;
}

std::vector<ViewerWindow> ViewerWindows() {
  std::vector<ViewerWindow> found;
  EnumWindows(CollectViewerWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// 0 when the process has gone or cannot be asked.
ULONGLONG CreationTime(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return 0;
  FILETIME creation{}, exit{}, kernel{}, user{};
  const bool known = GetProcessTimes(process, &creation, &exit, &kernel, &user);
  CloseHandle(process);
  if (!known) return 0;
  return (ULONGLONG(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
}

std::optional<ViewerWindow> ViewerOfProcess(DWORD processId) {
  for (const ViewerWindow& viewer : ViewerWindows()) {
    if (viewer.processId == processId) return viewer;
  }
  return std::nullopt;
}

std::optional<ViewerWindow> NewestViewer() {
  std::optional<ViewerWindow> newest;
  ULONGLONG newestStart = 0;
  for (const ViewerWindow& viewer : ViewerWindows()) {
    const ULONGLONG start = CreationTime(viewer.processId);
    if (!newest || start > newestStart) {
      newest = viewer;
      newestStart = start;
    }
  }
  return newest;
}

// Windows copies what the last parameter of this message points to into the receiver, so it
// must point to a COPYDATASTRUCT; an empty one carries nothing, and the viewer never reads it.
bool Deliver(const ViewerWindow& viewer, qint32 row) {
  AllowSetForegroundWindow(viewer.processId);
  COPYDATASTRUCT nothing{};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(viewer.handle, kSelectRunMessage, WPARAM(row),
                             reinterpret_cast<LPARAM>(&nothing), SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &result) != 0;
}

}  // namespace

int SendSelectRun(qint32 row, std::optional<qint64> pid) {
  const std::optional<ViewerWindow> viewer = pid ? ViewerOfProcess(DWORD(*pid)) : NewestViewer();
  if (!viewer) {
    return Fail(pid ? QString("no viewer with process id %1").arg(*pid)
                    : QString("no running viewer found"));
  }
  if (Deliver(*viewer, row)) return 0;
  return Fail(QString("the viewer did not answer within %1 seconds").arg(kAnswerTimeoutMs / 1000));
}
