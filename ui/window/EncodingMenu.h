#pragma once

#include <QObject>

#include "TextEncoding.h"

class LogDocument;
class QActionGroup;
class QMenu;
class TFormDisplay;
class TStatusLine;

// The Encoding menu: Auto, Windows-1252 or UTF-8. A choice shows the store that is loaded in the
// new encoding at once, without reading the file again, and holds for the loads that follow.
class EncodingMenu : public QObject {
  Q_OBJECT

 public:
  EncodingMenu(TFormDisplay& window, TStatusLine& statusLine);

  QMenu* Menu() const { return menu_; }
  EncodingChoice Choice() const;
  void Choose(EncodingChoice choice);

 signals:
  // The store's texts read in another encoding now.
  void Chosen(EncodingChoice choice);

 private:
  void ShowEncodingName();

  LogDocument& document_;
  TStatusLine& statusLine_;
  QMenu* menu_;
  QActionGroup* actions_;
};
