#pragma once

#include <QAbstractScrollArea>

#include "LineList.h"
#include "TextEncoding.h"

// A read-only, word-wrapping text view of lines of the log store. It keeps only where each line
// starts in the store's bytes, and decodes and lays out only the lines in view, so a run of a
// million lines shows at once. The store must outlive what the pane shows: the window clears
// the panes before it frees the store.
class TTextPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TTextPane(QWidget* parent = nullptr);
  ~TTextPane() override;

  // Empties the text.
  void Clear();
  // Appends all lines of `lines`, in order, decoded with `encoding`.
  void AppendLines(const LineList& lines, Encoding encoding);

  int LineCount() const;
  // The whole text, lines joined by '\n' (tests and copy of everything).
  QString Text() const;
  QString SelectedText() const;
};
