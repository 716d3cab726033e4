#pragma once

#include "link/PortDirectory.h"

namespace corvane {

// Where the kernel describes its terminals and where their device nodes and
// udev's stable names are. Tests point these at a made-up tree.
struct DeviceFolders {
    QString ttyClass = QStringLiteral("/sys/class/tty");
    QString dev = QStringLiteral("/dev");
    QString byId = QStringLiteral("/dev/serial/by-id");
    QString byPath = QStringLiteral("/dev/serial/by-path");
};

// The serial devices a Linux kernel lists, read from sysfs.
//
// Why not ask udev (as Qt's port listing does): enumerating through udev
// reads every terminal's whole description and opens each built-in serial
// port to learn whether a chip stands behind it, which takes tens of
// milliseconds at every start and every reconnection, and the window waits
// for the list. Sysfs answers the same questions from a few small files:
// - a terminal without a "device" link is virtual (consoles, ptmx): left out,
//   except Bluetooth serial links (rfcomm*), null-modem pairs (tnt*) and USB
//   gadget ports (ttyGS*), which have none and are real lines;
// - a UART whose "type" is 0 is a slot with no chip (the eight or thirty-two
//   ttyS placeholders of a PC): left out;
// - a device node missing from /dev cannot be opened: left out.
// The identity is the /dev/serial/by-id name when udev made one, else the
// USB vendor, product and serial number (the serial number cleaned as udev
// cleans it, so identities remembered by earlier versions still match), else
// the by-path name, else the location. A USB adapter without a serial number
// (most CH340 and PL2303 cables) is named by the USB port it is plugged into
// (its by-path name): its by-id name only names the model, and udev gives it
// to whichever such adapter came last.
QVector<SerialDevice> listSerialDevices(const DeviceFolders& folders = DeviceFolders());

// The identity of the device a path leads to now (links followed): the
// identity the list gives it, when that is more than its location; else
// the device node's own (its device number and when the node was made, so
// that another device given the same name later, a pseudo-terminal or an
// adapter without an identity, does not pass for it); empty when the path
// leads nowhere.
QString deviceIdentityAt(const QString& path, const QVector<SerialDevice>& devices);

} // namespace corvane
