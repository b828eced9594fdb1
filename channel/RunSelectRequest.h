#pragma once

#include <QByteArray>

#include "Message.h"

// A run-selection request travels between programs as exactly this many bytes, little-endian:
// the message number, then the first and the second parameter. The result stays behind.
inline constexpr qsizetype kRunSelectRequestSize = 12;

// The one byte a viewer sends back once the window has routed the request.
inline constexpr char kRunSelectAnswer = 1;

QByteArray EncodeRunSelectRequest(const TMessage& message);
// `bytes` holds exactly kRunSelectRequestSize bytes.
TMessage DecodeRunSelectRequest(const QByteArray& bytes);
