#include "Unprivileged.h"

#include <pwd.h>
#include <unistd.h>

#include <QtGlobal>

bool RunsAsRoot() {
  return geteuid() == 0;
}

QStringList UnprivilegedLauncher() {
  if (!RunsAsRoot()) return {};
  return {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
}

// Only the effective user changes: the saved one stays root, which is what lets it come back.
ActingAsNobody::ActingAsNobody() : previous_(geteuid()) {
  const passwd* nobody = getpwnam("nobody");
  active_ = RunsAsRoot() && nobody && seteuid(nobody->pw_uid) == 0;
}

ActingAsNobody::~ActingAsNobody() {
  if (active_ && seteuid(previous_) != 0) qFatal("cannot become root again");
}
