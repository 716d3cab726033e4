#include "periphery/NightColours.h"
#include "periphery/ui/NightVision.h"

#include <QApplication>
#include <QtTest>
#include <cmath>

using namespace corvane;

namespace {

// Relative luminance and contrast ratio as used for legibility of text.
double luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestNightColours : public QObject {
    Q_OBJECT
private slots:
    // The system colour values as the platform takes them: red in the lowest
    // byte. Nothing but red, except the grey of disabled text.
    void systemColoursAreRedsAndOneGrey() {
        const ColourRefTable refs = nightColourRefs();
        for (int i = 0; i < kSystemColourCount; ++i) {
            if (i == SysColour::GrayText)
                QCOMPARE(refs[i], quint32(0x808080));
            else
                QVERIFY2(refs[i] == 0 || refs[i] == 64 || refs[i] == 128 || refs[i] == 255,
                         qPrintable(QString::number(i)));
        }
        QCOMPARE(refs[SysColour::WindowText], quint32(0xFF));
        QCOMPARE(refs[SysColour::Window], quint32(0x80));
        QCOMPARE(refs[SysColour::Desktop], quint32(0));
        QCOMPARE(colourRef({0, 0, 255}), quint32(0xFF0000));
        QCOMPARE(fromColourRef(0x123456), (Rgb{0x56, 0x34, 0x12}));
    }

    void everyColourGroupIsDark() {
        const QPalette p = nightPalette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (auto role :
                 {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::ToolTipBase}) {
                const QColor c = p.color(group, role);
                QCOMPARE(c.green(), 0);
                QCOMPARE(c.blue(), 0);
                QVERIFY(c.red() <= 128);
            }
        }
    }

    // Red text on dark red must stay legible: every text role against the
    // background it is drawn on.
    void textIsReadableOnItsBackground_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("background");
        const struct {
            const char* name;
            QPalette::ColorRole text;
            QPalette::ColorRole background;
        } pairs[] = {
            {"window", QPalette::WindowText, QPalette::Window},
            {"entry", QPalette::Text, QPalette::Base},
            {"button", QPalette::ButtonText, QPalette::Button},
            {"selection", QPalette::HighlightedText, QPalette::Highlight},
            {"tool tip", QPalette::ToolTipText, QPalette::ToolTipBase},
        };
        for (const auto& pair : pairs) {
            for (auto group : {QPalette::Active, QPalette::Inactive}) {
                QTest::addRow("%s %d", pair.name, int(group))
                    << int(group) << int(pair.text) << int(pair.background);
            }
        }
    }
    void textIsReadableOnItsBackground() {
        QFETCH(int, group);
        QFETCH(int, text);
        QFETCH(int, background);
        const QPalette p = nightPalette();
        const auto g = QPalette::ColorGroup(group);
        const double ratio = contrast(p.color(g, QPalette::ColorRole(text)),
                                      p.color(g, QPalette::ColorRole(background)));
        QVERIFY2(ratio >= 4.0, qPrintable(QString::number(ratio)));
    }

    void switchingOffBeforeAnythingWasSavedChangesNothing() {
        const QPalette before = QApplication::palette();
        NightVision night;
        night.nightOff();
        QVERIFY(!night.isOn());
        QCOMPARE(QApplication::palette(), before);
    }
};

QTEST_MAIN(TestNightColours)
#include "test_night_colours.moc"
