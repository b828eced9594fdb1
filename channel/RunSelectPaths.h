#pragma once

#include <QString>
#include <QStringList>

// Each running viewer listens for run-selection requests on a local socket named after its
// process id. The sockets of one user share a folder that nobody else may enter, so that only
// the same user can steer a viewer.

struct TRunSelectFolder {
  QString path;   // empty when the folder must not be used
  QString error;  // why not, in words for the user
};

// The folder: "message-log-display" in $XDG_RUNTIME_DIR, or a folder of this user in the temp
// folder when there is no usable runtime folder. It is created when missing and refused unless it
// is a real folder (not a link) of this user, closed to group and others.
TRunSelectFolder OpenRunSelectFolder();

QString RunSelectSocketPath(const QString& folder, qint64 pid);

// The sockets of viewers in the folder, the most recently started first. Some may be left over
// from viewers that died.
QStringList ViewerSocketsNewestFirst(const QString& folder);
