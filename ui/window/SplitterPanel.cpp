#include "SplitterPanel.h"

#include <QSplitter>
#include <QVBoxLayout>

namespace {

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
  upperPercent_ = upperPercent;
  leftPercent_ = leftPercent;
  if (shown_) ApplyProportions();
  bands_->setStretchFactor(0, upperPercent);
  bands_->setStretchFactor(1, 100 - upperPercent);
  upperBand_->setStretchFactor(0, leftPercent);
  upperBand_->setStretchFactor(1, 100 - leftPercent);
}

void TSplitterPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Only now do the splitters have their real size to divide; sizes given earlier are lost
  // when the first layout distributes the space by the panes' size hints.
  if (!shown_) ApplyProportions();
  shown_ = true;
}

void TSplitterPanel::ApplyProportions() {
  const auto divide = [](QSplitter* splitter, int percent) {
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int first = total * percent / 100;
    splitter->setSizes({first, total - first});
  };
  divide(bands_, upperPercent_);
  divide(upperBand_, leftPercent_);
}
