#include "motion/ui/TargetPanel.h"

#include "common/Prompts.h"
#include "motion/Target.h"
#include "session/MountSession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace corvane {

namespace {

constexpr TargetField kFields[4] = {TargetField::Hours, TargetField::Minutes,
                                    TargetField::DecDegrees, TargetField::DecMinutes};

struct FieldDesign {
    const char* name;
    const char* labelName;
    const char* caption;
    const char* toolTip;
};

const FieldDesign kDesign[4] = {
    {"objhrstxt", "ObjRAhhLbl", "Object RA hh", "Used to Display or Set the Objects RA hours"},
    {"objmintxt", "ObjRAmmLbl", "Object RA mm.m",
     "Used to Display or Set the Objects RA minutes in mm.m format"},
    {"objDECDegtxt", "ObjDECddLbl", "Object DEC dd",
     "Used to Display or Set the Objects DEC Degrees in +dd or -dd format"},
    {"ObjDECMintxt", "ObjDECmmLbl", "Object DEC mm",
     "Used to Display or Set the Objects DEC minutes in mm format"},
};

// Focus moving to another window or into a menu is not the user leaving the
// field: the field is checked when the focus really moves on.
bool isWindowSwitch(const QEvent* event) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

TargetPanel::TargetPanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Object"), parent), m_target(session.target()),
      m_prompts(session.prompts()) {
    setObjectName(QStringLiteral("TargetFrame"));
    buildFields();
    buildButtons();
    connect(&m_target, &Target::changed, this, &TargetPanel::showTarget);
}

void TargetPanel::buildFields() {
    auto* grid = new QGridLayout(this);
    QLabel* labels[4] = {};
    for (int i = 0; i < 4; ++i) {
        labels[i] = new QLabel(QLatin1String(kDesign[i].caption), this);
        labels[i]->setObjectName(QLatin1String(kDesign[i].labelName));
        m_fields[i] = new QLineEdit(initialFieldText(kFields[i]), this);
        m_fields[i]->setObjectName(QLatin1String(kDesign[i].name));
        m_fields[i]->setToolTip(QLatin1String(kDesign[i].toolTip));
        m_fields[i]->installEventFilter(this);
        labels[i]->setBuddy(m_fields[i]);
        m_remembered[i] = m_fields[i]->text();
        // Two label and field pairs a row: RA on the first, DEC on the second.
        grid->addWidget(labels[i], i / 2, (i % 2) * 2);
        grid->addWidget(m_fields[i], i / 2, (i % 2) * 2 + 1);
    }
    ObjRAhhLbl = labels[0];
    ObjRAmmLbl = labels[1];
    ObjDECddLbl = labels[2];
    ObjDECmmLbl = labels[3];
    objhrstxt = m_fields[0];
    objmintxt = m_fields[1];
    objDECDegtxt = m_fields[2];
    ObjDECMintxt = m_fields[3];
    connect(objmintxt, &QLineEdit::textChanged, this, &TargetPanel::onMinutesChanged);
}

void TargetPanel::buildButtons() {
    struct ButtonDesign {
        QPushButton** button;
        const char* name;
        const char* caption;
        const char* toolTip;
        void (*press)(Target&);
    };
    const ButtonDesign design[4] = {
        {&cmdSetObj, "cmdSetObj", "Set Object",
         "Sets the Objects RA and DEC without syncing or going to the the coordinates",
         [](Target& t) { t.setInMount(); }},
        {&cmdGotoObj, "cmdGotoObj", "Goto Object",
         "Commands the Mount to GoTo the Object RA and DEC", [](Target& t) { t.goTo(); }},
        {&cmdSyncObj, "cmdSyncObj", "Sync Object",
         "Syncs the mounts RA and DEC to the Objects RA and DEC", [](Target& t) { t.sync(); }},
        {&cmdGetObj, "cmdGetObj", "Get Object", "Retrieves the Objects RA and DEC",
         [](Target& t) { t.readBack(); }},
    };
    auto* grid = static_cast<QGridLayout*>(layout());
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QLatin1String(design[i].caption), this);
        button->setObjectName(QLatin1String(design[i].name));
        button->setToolTip(QLatin1String(design[i].toolTip));
        // Each first finishes an edit still in progress, so the commands always
        // read checked text even when the button was pressed without taking
        // the focus. A press that comes with a rejected entry is cancelled:
        // nothing goes out that the user did not see in the fields.
        connect(button, &QPushButton::clicked, this, [this, press = design[i].press] {
            if (readyToAct())
                press(m_target);
        });
        *design[i].button = button;
        grid->addWidget(button, 2 + i / 2, (i % 2) * 2, 1, 2);
    }
}

// What another part wrote (the board's target, a catalogue, a planet, a
// client) is shown in the fields' forms.
void TargetPanel::showTarget() {
    const TargetFieldTexts& t = m_target.texts();
    const QString texts[4] = {t.hours, t.minutes, t.degrees, t.decMinutes};
    for (int i = 0; i < 4; ++i) {
        if (m_fields[i]->text() != texts[i])
            m_fields[i]->setText(texts[i]);
    }
}

// Only a text in the field's form is taken; one that is not waits until the
// field is left, checked and formatted.
void TargetPanel::writeField(int index, const QString& text) {
    if (const std::optional<BoardPosition> target =
            withField(m_target.position(), kFields[index], text))
        m_target.set(*target);
}

// --- Field checking ----------------------------------------------------------

int TargetPanel::fieldIndex(QObject* object) const {
    for (int i = 0; i < 4; ++i)
        if (m_fields[i] == object)
            return i;
    return -1;
}

bool TargetPanel::eventFilter(QObject* watched, QEvent* event) {
    const int index = fieldIndex(watched);
    if (index >= 0 && event->type() == QEvent::FocusIn) {
        fieldEntered(index);
    } else if (index >= 0 && event->type() == QEvent::FocusOut && !isWindowSwitch(event)) {
        if (m_editing == index)
            m_editing = -1;
        fieldLeft(index);
    }
    return QGroupBox::eventFilter(watched, event);
}

void TargetPanel::fieldEntered(int index) {
    // Coming back from another window continues the same edit.
    if (m_editing == index)
        return;
    m_editing = index;
    // What another part wrote is remembered only in the field's form; else
    // the last accepted text stays what a rejected entry falls back to.
    if (isFieldForm(kFields[index], m_fields[index]->text()))
        m_remembered[index] = m_fields[index]->text();
}

void TargetPanel::fieldLeft(int index) {
    const FieldCheck check =
        checkField(kFields[index], m_fields[index]->text(), m_remembered[index]);
    m_fields[index]->setText(check.text);
    m_remembered[index] = check.text;
    writeField(index, check.text);
    if (check.rejected)
        reportInvalidEntry();
}

// The message waits until the focus change that revealed the entry is over: a
// modal box opened in the middle of a mouse press on a button would swallow
// the release and leave the button drawn pressed. Afterwards that button is
// let go, so the press it started does nothing.
void TargetPanel::reportInvalidEntry() {
    ++m_pendingRejections;
    QPointer<QAbstractButton> pressed = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    QTimer::singleShot(0, this, [this, pressed] {
        m_prompts.message(QStringLiteral("Invalid Entry"), applicationTitle(), PromptIcon::None,
                          PromptButtons::Ok);
        if (pressed && pressed->isDown())
            pressed->setDown(false);
        --m_pendingRejections;
    });
}

bool TargetPanel::readyToAct() {
    if (m_editing >= 0)
        fieldLeft(m_editing);
    return m_pendingRejections == 0;
}

// The decimal comma is mended on every change, typed or written by another
// part; a mended text written there is the target's too.
void TargetPanel::onMinutesChanged(const QString& text) {
    const QString fixed = applyDecimalComma(text);
    if (fixed == text)
        return;
    objmintxt->setText(fixed);
    if (m_editing != 1)
        writeField(1, fixed);
}

} // namespace corvane
