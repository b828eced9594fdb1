#pragma once

#include <QWidget>

class QSplitter;

// One pane of the splitter panel; its content fills it.
class TSplitterPane : public QWidget {
  Q_OBJECT

 public:
  explicit TSplitterPane(QWidget* parent = nullptr);
  void SetContent(QWidget* content);
};

// Three panes under two movable bars: the first bar divides an upper band from a lower one, the
// second divides the upper band into a left and a right pane.
class TSplitterPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TSplitterPanel(QWidget* parent = nullptr);

  TSplitterPane* UpperLeft() const { return upperLeft_; }
  TSplitterPane* UpperRight() const { return upperRight_; }
  TSplitterPane* Lower() const { return lower_; }

  // Puts the first bar at `upperPercent` of the height and the second at `leftPercent` of the
  // width; when the window is resized, the bars keep their proportions.
  void SetBarProportions(int upperPercent, int leftPercent);
  QSplitter* Bands() const { return bands_; }
  QSplitter* UpperBand() const { return upperBand_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyProportions();

  int upperPercent_ = 50;
  int leftPercent_ = 50;
  bool shown_ = false;
  QSplitter* bands_;
  QSplitter* upperBand_;
  TSplitterPane* upperLeft_;
  TSplitterPane* upperRight_;
  TSplitterPane* lower_;
};
