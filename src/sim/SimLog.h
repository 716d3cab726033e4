#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace corvane::sim {

// The line log: one line per write or reply,
//     "     12.345678 > #:GR##:GD#"   bytes from the host
//     "     12.351890 < 05:34.5#"     bytes from the board
//     "     12.351890 ! dropped 05:34.5#"   a fault
// with the time in seconds on the line's time line and bytes outside
// printable ASCII written as \xHH.
class SimLog {
public:
    bool open(const QString& path, QString* error);
    bool isOpen() const { return m_file.isOpen(); }
    void write(qint64 us, char direction, const QByteArray& bytes);

    static QByteArray escaped(const QByteArray& bytes);
    static QByteArray line(qint64 us, char direction, const QByteArray& bytes);

private:
    QFile m_file;
};

} // namespace corvane::sim
