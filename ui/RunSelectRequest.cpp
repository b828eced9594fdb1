#include "RunSelectRequest.h"

#include <QtEndian>

QByteArray EncodeRunSelectRequest(const TMessage& message) {
  QByteArray bytes(kRunSelectRequestSize, Qt::Uninitialized);
  qToLittleEndian(message.Msg, bytes.data());
  qToLittleEndian(message.WParam, bytes.data() + 4);
  qToLittleEndian(message.LParam, bytes.data() + 8);
  return bytes;
}

TMessage DecodeRunSelectRequest(const QByteArray& bytes) {
  TMessage message;
  message.Msg = qFromLittleEndian<uint32_t>(bytes.constData());
  message.WParam = qFromLittleEndian<int32_t>(bytes.constData() + 4);
  message.LParam = qFromLittleEndian<int32_t>(bytes.constData() + 8);
  return message;
}
