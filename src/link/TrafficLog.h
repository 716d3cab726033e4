#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <deque>

namespace corvane {

class Channel;

// What went over the line: every write and every reception, with its time
// (milliseconds on the program's clock), its direction and what caused it: a
// write, the exchange that made it (by name; a client's names the client) or
// the window; a reception, the cause of the request it answers, also when it
// comes after its exchange has ended. Keeps the last
// kKeptEntries; a session log file, when given, gets every line as it comes.
class TrafficLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kKeptEntries = 10000;

    struct Entry {
        qint64 ms = 0;
        bool written = true; // to the board (">"), or from it ("<")
        QString cause;
        QByteArray bytes;
    };

    explicit TrafficLog(Channel& channel, QObject* parent = nullptr);

    const std::deque<Entry>& entries() const { return m_entries; }
    void clear();

    // Appends every line from now on to the file, flushed as it comes. A file
    // that cannot be opened or written is said once (`why`; false) and the
    // program goes on without it.
    bool logTo(const QString& path, QString* why);

    // "   12.345 > position poll: #:GR##:GD#", the bytes as text with every
    // byte that is not printable ASCII as \xHH, or all of them as hex pairs.
    static QString line(const Entry& entry, bool hex);

signals:
    void added(const corvane::TrafficLog::Entry& entry);
    // The session log file could not be written; it is no longer written.
    void logFailed(const QString& why);

private:
    void add(bool written, const QByteArray& bytes);
    void writeToFile(const Entry& entry);

    Channel& m_channel;
    // Whom the reply now on its way answers.
    QString m_replyCause;
    std::deque<Entry> m_entries;
    QFile m_file;
};

} // namespace corvane
