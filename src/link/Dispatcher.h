#pragma once

#include "link/Replies.h"

#include <QString>

namespace corvane {

class Channel;

// Where the dispatcher puts what a reply says. The main window implements it;
// decoders of the configuration and PEC subsystems hang off the last three.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    virtual void showVersion(const QString& reply, const VersionInfo& info) = 0;
    virtual void showScopeRA(const QString& text) = 0;
    virtual void showScopeDEC(const QString& text) = 0;
    virtual void showScopePosition(const PositionText& position) = 0;
    virtual void showControllerTarget(const TargetText& target) = 0;
    virtual void decodeSettingsDump(const QString& reply) = 0;
    virtual void decodePECState(const QString& reply) = 0;
    virtual void decodePECTable(const QString& reply) = 0;
    // The marks of the declination display (degree sign and double quote).
    virtual QString degreeMark() const = 0;
    virtual QString minuteMark() const = 0;
};

// Interprets one reception by the awaited kind, unless dispatch was disarmed
// by the raw terminal; re-arms dispatch afterwards.
void dispatchReply(Channel& channel, const QString& reply, ReplySink& sink);

} // namespace corvane
