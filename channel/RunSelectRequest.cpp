#include "RunSelectRequest.h"

#include <QtEndian>
#include <algorithm>
#include <array>

QByteArray EncodeRunSelectRequest(const TMessage& message) {
  QByteArray bytes(kRunSelectRequestSize, Qt::Uninitialized);
  qToLittleEndian(message.Msg, bytes.data());
  qToLittleEndian(message.WParam, bytes.data() + 4);
  qToLittleEndian(message.LParam, bytes.data() + 8);
  return bytes;
}

TMessage DecodeRunSelectRequest(const QByteArray& bytes) {
  // A copy of fixed size: bytes missing from a short array read as zeros, never out of bounds.
  std::array<char, kRunSelectRequestSize> request{};
  std::copy_n(bytes.constData(), std::min(bytes.size(), kRunSelectRequestSize), request.begin());
  TMessage message;
  message.Msg = qFromLittleEndian<uint32_t>(request.data());
  message.WParam = qFromLittleEndian<int32_t>(request.data() + 4);
  message.LParam = qFromLittleEndian<int32_t>(request.data() + 8);
  return message;
}
