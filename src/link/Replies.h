#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// The reply with every byte that is not printable ASCII written as "\xHH", so
// a garbled reply never puts control or high bytes into a caption.
QString printableReply(const QString& reply);
// Bytes as the reply box shows a raw reply: two upper-case hex digits and a
// blank each ("06 1A FF ").
QString hexPairs(const QByteArray& bytes);

} // namespace corvane
