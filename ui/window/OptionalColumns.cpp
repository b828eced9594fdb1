#include "OptionalColumns.h"

#include <QAction>
#include <QHeaderView>
#include <QSettings>

#include "RunsView.h"

namespace {

const QString kSettingsGroup = QStringLiteral("FormDisplay/RunsViewColumns/");

}  // namespace

OptionalColumns::OptionalColumns(TRunsView& view) : QObject(&view), view_(view) {
  view.header()->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddColumn(TRunsTableModel::OutcomeColumn, QStringLiteral("Outcome"));
  AddColumn(TRunsTableModel::LinesColumn, QStringLiteral("Lines"));
  AddColumn(TRunsTableModel::AlertsColumn, QStringLiteral("Alerts"));
}

void OptionalColumns::AddColumn(int column, const QString& settingName) {
  const QString title =
      view_.model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  auto* action = new QAction(title, this);
  action->setCheckable(true);
  view_.header()->addAction(action);
  connect(action, &QAction::toggled, this, [this, column, settingName](bool shown) {
    view_.setColumnHidden(column, !shown);
    QSettings().setValue(kSettingsGroup + settingName, shown);
    emit ColumnShown(column, shown);
  });
  action->setChecked(QSettings().value(kSettingsGroup + settingName, false).toBool());
}
