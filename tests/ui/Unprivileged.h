#pragma once

#include <sys/types.h>
#include <QStringList>

// Acting as a user without root's rights. Root reads a file whatever its permissions say, so a
// test of an unreadable file must be run by someone else.

// True when this process may ignore file permissions.
bool RunsAsRoot();

// Put in front of a command, runs it as user "nobody" (for root) or as it is (for anyone else).
QStringList UnprivilegedLauncher();

// For as long as it lives, this process opens files with the rights of user "nobody". Only root
// can do that; Active() says whether it worked.
class ActingAsNobody {
 public:
  ActingAsNobody();
  ~ActingAsNobody();
  ActingAsNobody(const ActingAsNobody&) = delete;
  ActingAsNobody& operator=(const ActingAsNobody&) = delete;

  bool Active() const { return active_; }

 private:
  uid_t previous_;
  bool active_ = false;
};
