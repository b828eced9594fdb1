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

void TSplitterPane::SetContent(QWidget* content) { FillWith(this, content); }

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
  // QSplitter scales the sizes it is given to the space it has, and the stretch factors keep
  // the proportions when the window is resized.
  bands_->setSizes({upperPercent, 100 - upperPercent});
  upperBand_->setSizes({leftPercent, 100 - leftPercent});
  bands_->setStretchFactor(0, upperPercent);
  bands_->setStretchFactor(1, 100 - upperPercent);
  upperBand_->setStretchFactor(0, leftPercent);
  upperBand_->setStretchFactor(1, 100 - leftPercent);
}
