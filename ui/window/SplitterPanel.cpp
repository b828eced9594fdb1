#include "SplitterPanel.h"

#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kStretchTotal = 1000;

void FillWith(QWidget* owner, QWidget* content) {
  auto* layout = new QVBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
}

}  // namespace

TSplitterPane::TSplitterPane(QWidget* parent) : QWidget(parent) {}

void TSplitterPane::SetContent(QWidget* content) {
  FillWith(this, content);
}

TSplitterPanel::TSplitterPanel(QWidget* parent)
    : QWidget(parent),
      bands_(new QSplitter(Qt::Vertical)),
      upperBand_(new QSplitter(Qt::Horizontal)),
      upperLeft_(new TSplitterPane),
      upperRight_(new TSplitterPane),
      lower_(new TSplitterPane) {
  upperBand_->addWidget(upperLeft_);
  upperBand_->addWidget(upperRight_);
  bands_->addWidget(upperBand_);
  bands_->addWidget(lower_);
  for (QSplitter* splitter : {bands_, upperBand_}) splitter->setChildrenCollapsible(false);
  FillWith(this, bands_);
}

void TSplitterPanel::SetBarProportions(int upperPercent, int leftPercent) {
  SetBarPlaces({upperPercent / 100.0, leftPercent / 100.0});
}

void TSplitterPanel::SetBarPlaces(TBarPlaces places) {
  places_ = places;
  if (shown_) ApplyProportions();
  // In thousandths, so that a place the user chose keeps its share as the window is resized.
  const auto stretch = [](QSplitter* splitter, double share) {
    const int first = qRound(share * kStretchTotal);
    splitter->setStretchFactor(0, first);
    splitter->setStretchFactor(1, kStretchTotal - first);
  };
  stretch(bands_, places.upper);
  stretch(upperBand_, places.left);
}

TBarPlaces TSplitterPanel::BarPlaces() const {
  if (!shown_) return places_;
  const auto share = [](const QSplitter* splitter) {
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    return total > 0 ? static_cast<double>(sizes.value(0)) / total : 0.5;
  };
  return {share(bands_), share(upperBand_)};
}

void TSplitterPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Only now do the splitters have their real size to divide; sizes given earlier are lost
  // when the first layout distributes the space by the panes' size hints.
  if (!shown_) ApplyProportions();
  shown_ = true;
}

void TSplitterPanel::ApplyProportions() {
  const auto divide = [](QSplitter* splitter, double share) {
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int first = static_cast<int>(total * share);
    splitter->setSizes({first, total - first});
  };
  divide(bands_, places_.upper);
  divide(upperBand_, places_.left);
}
