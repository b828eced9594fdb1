#include "WindowPlacement.h"

#include <QEvent>
#include <QSettings>
#include <QWidget>
#include <optional>

#include "SplitterPanel.h"

namespace {

const QString kGeometrySetting = QStringLiteral("FormDisplay/Geometry");
const QString kUpperBarSetting = QStringLiteral("FormDisplay/UpperBar");
const QString kLeftBarSetting = QStringLiteral("FormDisplay/LeftBar");

// A bar's share as kept, or none when it is missing or could not be a place of a bar.
std::optional<double> Share(const QSettings& settings, const QString& key) {
  bool ok = false;
  const double share = settings.value(key).toDouble(&ok);
  return ok && share > 0 && share < 1 ? std::optional(share) : std::nullopt;
}

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window, TSplitterPanel& bars)
    : QObject(&window), window_(window), bars_(bars) {
  Restore();
  window.installEventFilter(this);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::Close) Save();
  return QObject::eventFilter(watched, event);
}

void WindowPlacement::Restore() {
  const QSettings settings;
  // Qt keeps the size the window has when it is not maximised along with the state, and moves
  // a window whose screen is gone onto one that is there.
  window_.restoreGeometry(settings.value(kGeometrySetting).toByteArray());
  const std::optional<double> upper = Share(settings, kUpperBarSetting);
  const std::optional<double> left = Share(settings, kLeftBarSetting);
  if (upper && left) bars_.SetBarPlaces({*upper, *left});
}

void WindowPlacement::Save() const {
  QSettings settings;
  settings.setValue(kGeometrySetting, window_.saveGeometry());
  const TBarPlaces places = bars_.BarPlaces();
  settings.setValue(kUpperBarSetting, places.upper);
  settings.setValue(kLeftBarSetting, places.left);
}
