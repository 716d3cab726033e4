// What the board does with each command it recognises.
#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"
#include "sim/WireText.h"

#include <optional>

namespace corvane::sim {

namespace {

std::optional<Direction> directionOf(char c) {
    switch (c) {
    case 'n':
        return Direction::North;
    case 's':
        return Direction::South;
    case 'e':
        return Direction::East;
    case 'w':
        return Direction::West;
    default:
        return std::nullopt;
    }
}

// Longest guide pulse the board times.
constexpr int kMaxPulseMs = 65535;

} // namespace

QByteArray CorvaneBoard::execute(const BoardCommand& c, qint64 nowMs) {
    advanceTo(nowMs);
    switch (c.form) {
    case BoardCommand::Form::Colon:
        return executeColon(c);
    case BoardCommand::Form::Letter:
        return executeLetter(c);
    case BoardCommand::Form::Single:
        return executeSingle(c);
    }
    return {};
}

QByteArray CorvaneBoard::executeSingle(const BoardCommand& c) {
    switch (c.letter) {
    case 'Y': // store the working settings permanently
        m_stored = m_working;
        return {};
    case 'F':
        m_mount.startFind();
        return {};
    case '\x06': // LX200 alignment query: a polar (equatorial) mount
        return "P";
    default:
        return {};
    }
}

QByteArray CorvaneBoard::executeColon(const BoardCommand& c) {
    if (c.angle != 0) {
        // The two halves of the split settings dump.
        return c.body == "VX" && c.number.isEmpty() && splitDump() ? settingsDump(c.angle)
                                                                   : QByteArray();
    }
    if (!c.number.isEmpty())
        return executeNumberedColon(c);
    QByteArray reply = executeQuery(c.body);
    if (reply.isEmpty())
        reply = executeMotion(c.body);
    if (reply.isEmpty())
        reply = executeAccessory(c.body);
    return reply;
}

QByteArray CorvaneBoard::executeQuery(const QByteArray& body) {
    if (body == "GV")
        return versionReply();
    if (body == "GVP")
        return "Corvane#";
    if (body == "GVN")
        return QByteArray::number(m_firmware, 'f', 2) + '#';
    if (body == "GR")
        return raReply(m_mount.ra());
    if (body == "GD")
        return decReply(m_mount.dec());
    if (body == "Gr")
        return raReply(m_mount.targetRa());
    if (body == "Gd")
        return decReply(m_mount.targetDec());
    if (body == "GS")
        return siderealReply(siderealHoursNow());
    const QByteArray site = siteQuery(body);
    if (!site.isEmpty())
        return site;
    if (body.startsWith("Sr") || body.startsWith("Sd"))
        return setTarget(body);
    if (body == "VX")
        return settingsDump(0);
    if (body == "VS")
        return m_pec.stateReply(m_trackingCorrection);
    if (body == "D") // LX200 distance bars: one bar while slewing
        return m_mount.isSlewing() ? QByteArray("\x7f#") : QByteArray("#");
    return {};
}

// LX200 clock and site queries. The board keeps UTC and no site of its own:
// it answers Greenwich on the equator, where its sidereal clock runs.
QByteArray CorvaneBoard::siteQuery(const QByteArray& body) const {
    const qint64 utc = m_utcMsAtStart + m_now;
    if (body == "GL")
        return utcTimeReply(utc);
    if (body == "GC")
        return utcDateReply(utc);
    if (body == "GG")
        return "+00#";
    if (body == "Gt")
        return "+00*00#";
    if (body == "Gg")
        return "+000*00#";
    return {};
}

QByteArray CorvaneBoard::setTarget(const QByteArray& body) {
    const QByteArray argument = body.mid(2);
    if (body.startsWith("Sr")) {
        const auto ra = parseRa(argument);
        if (ra)
            m_mount.setTargetRa(*ra);
        return ra ? "1" : "0";
    }
    const auto dec = parseDec(argument);
    if (dec)
        m_mount.setTargetDec(*dec);
    return dec ? "1" : "0";
}

// Motion commands; the goto and sync answers are their only replies.
QByteArray CorvaneBoard::executeMotion(const QByteArray& body) {
    if (body == "MS") {
        m_mount.startGoto();
        return "0";
    }
    if (body == "CM") {
        m_mount.sync();
        return "Synced#";
    }
    if (body == "Q") {
        m_mount.stopAll();
    } else if (body == "Mn:Q") { // the end of the object search
        m_mount.stopFind();
    } else if (body.size() == 2 && (body.at(0) == 'M' || body.at(0) == 'Q')) {
        if (const auto d = directionOf(body.at(1)))
            body.at(0) == 'M' ? m_mount.startMove(*d) : m_mount.stopMove(*d);
    } else if (body.size() > 3 && body.startsWith("Mg")) {
        const auto d = directionOf(body.at(2));
        const auto ms = wholeNumber(body.mid(3));
        if (d && ms && *ms >= 0 && *ms <= kMaxPulseMs)
            m_mount.pulse(*d, *ms);
    } else if (body == "RG") {
        m_manualRate = ManualRate::Guide;
    } else if (body == "RM") {
        m_manualRate = ManualRate::Paddle8X;
    } else if (body == "RS") {
        m_manualRate = ManualRate::Paddle16X;
    }
    return {};
}

// Focuser, fan, the end of PEC training and the LX200 precision toggle.
QByteArray CorvaneBoard::executeAccessory(const QByteArray& body) {
    if (body == "F+")
        m_focuser.direction = 1;
    else if (body == "F-")
        m_focuser.direction = -1;
    else if (body == "FQ")
        m_focuser.direction = 0;
    else if (body == "FF")
        m_focuser.fast = true;
    else if (body == "FS")
        m_focuser.fast = false;
    else if (body == "f+")
        m_outputs.fan = true;
    else if (body == "f-")
        m_outputs.fan = false;
    else if (body == "XYR")
        m_pec.commit();
    // ":U#" (precision) is accepted and changes nothing: the board has one
    // precision, the one the program reads.
    return {};
}

// "#n:VR#" reads a PEC step, "#n:XRc#" writes one, "#n:Ssk#" sets a speed.
QByteArray CorvaneBoard::executeNumberedColon(const BoardCommand& c) {
    if (c.body.startsWith("Ss"))
        return settingAnswer(applySettingCommand(c, m_working, splitDump()));
    const auto step = wholeNumber(c.number);
    const bool stepValid = step && *step >= 0 && *step < PecUnit::kSteps;
    if (c.body == "VR") {
        // Always one digit, so a read-out of 256 steps stays 256 characters.
        return QByteArray::number(stepValid ? m_pec.code(*step) : 0);
    }
    if (c.body.startsWith("XR") && stepValid) {
        if (const auto code = wholeNumber(c.body.mid(2)))
            m_pec.writeCode(*step, *code);
    }
    return {};
}

QByteArray CorvaneBoard::executeLetter(const BoardCommand& c) {
    const SettingResult setting = applySettingCommand(c, m_working, splitDump());
    if (setting != SettingResult::NotASetting)
        return settingAnswer(setting);
    if (c.angle != 0 && c.letter == 'I' && c.number.isEmpty()) {
        if (hasTrackingCorrection())
            m_trackingCorrection = c.angle == '>';
        return {};
    }
    if (c.angle != 0 && c.letter == 'R') {
        const bool on = c.angle == '>';
        if (c.number == "1")
            m_outputs.pin7 = on;
        else if (c.number.isEmpty())
            m_outputs.pin14 = on;
        return {};
    }
    if (c.angle == 0 && (c.letter == 'p' || c.letter == 'P'))
        return executePec(c);
    return {};
}

QByteArray CorvaneBoard::settingAnswer(SettingResult result) const {
    if (!m_acknowledgeSettings)
        return {};
    return result == SettingResult::Applied ? "1" : "0";
}

// "#1p".."#9p" factor; "#1P"/"#0P" serial replay on/off; "#-1P" clear and
// train, "#-2P" touch up, "#-0P" stop training.
QByteArray CorvaneBoard::executePec(const BoardCommand& c) {
    if (c.letter == 'p') {
        if (const auto f = wholeNumber(c.number))
            m_pec.setFactor(*f);
        return {};
    }
    if (c.number == "1")
        m_pec.setSerialEnabled(true);
    else if (c.number == "0")
        m_pec.setSerialEnabled(false);
    else if (c.number == "-1")
        m_pec.startTraining(false);
    else if (c.number == "-2" && touchUp())
        m_pec.startTraining(true);
    else if (c.number == "-0")
        m_pec.stopTraining();
    return {};
}

} // namespace corvane::sim
