#include "RegexEngine.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

#if defined(Q_OS_WIN) && defined(Q_CC_GNU)
const bool kSet = qputenv("QT_ENABLE_REGEXP_JIT", QByteArray("0"));
#else
const bool kSet = true;
#endif

}  // namespace

bool RegexEngineSet() {
  return kSet;
}
