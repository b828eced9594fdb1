#pragma once

#include <QObject>

class QAction;
class TRunsView;

// The runs table's optional columns, "Outcome", "Lines" and "Alerts": hidden until the user shows
// them from the context menu of the table's header. Which ones show is kept between runs of the
// program.
class OptionalColumns : public QObject {
  Q_OBJECT

 public:
  explicit OptionalColumns(TRunsView& view);

 signals:
  void ColumnShown(int column, bool shown);

 private:
  void AddColumn(int column, const QString& settingName);

  TRunsView& view_;
};
