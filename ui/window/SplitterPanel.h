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

// Where the two bars of a TSplitterPanel stand: for each, the share of its splitter's room that
// the pane before it takes (above the first bar, left of the second), from 0 to 1.
struct TBarPlaces {
  double upper = 0.5;
  double left = 0.5;
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
  // The same with the shares of a TBarPlaces, such as where the user left the bars.
  void SetBarPlaces(TBarPlaces places);
  // Where the bars stand now; before the panel is first shown, where they will.
  TBarPlaces BarPlaces() const;
  QSplitter* Bands() const { return bands_; }
  QSplitter* UpperBand() const { return upperBand_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyProportions();

  TBarPlaces places_;
  bool shown_ = false;
  QSplitter* bands_;
  QSplitter* upperBand_;
  TSplitterPane* upperLeft_;
  TSplitterPane* upperRight_;
  TSplitterPane* lower_;
};
