#pragma once

#include <QString>

namespace corvane {

// The address of a serial-to-network bridge (or ser2net) that carries the
// board's RS-232 line as a raw TCP stream: "tcp://HOST:PORT", where HOST is a
// host name, an IPv4 address or an IPv6 address in brackets ("[::1]") and
// PORT a number from 1 to 65535. The same text binds a port number on the
// command line, in the settings file and in the window.

// True when the text names a network line (it starts with "tcp://", in any
// case), whether or not the rest is well formed: such a text is never taken
// for a serial device's path.
bool isNetworkAddress(const QString& text);

// Reads "tcp://HOST:PORT" (leading and trailing blanks ignored; the
// "tcp://" may be left out, as a user typing an address often does).
// Returns false and a one-line reason when it is not such an address; the
// outputs are then left alone.
bool parseNetworkAddress(const QString& text, QString* host, quint16* port, QString* why);

// The address in its one written form, "tcp://HOST:PORT" with an IPv6 host
// in brackets: what the status bar shows, the settings file keeps and what
// identifies the line.
QString networkAddressText(const QString& host, quint16 port);

// The form above for a text that parses; empty otherwise.
QString normalNetworkAddress(const QString& text);

} // namespace corvane
