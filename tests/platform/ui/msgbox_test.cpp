#include "ui/msgbox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include "main_app.h"

namespace {

using namespace ui;

struct ButtonCase {
    int flags;
    std::vector<int> buttons;
    int byDefault;
    int escape;  // 0: Esc and the close box are refused
};

TEST(MsgBoxStyle, ButtonsDefaultAndEscapeFollowTheStyleNumber) {
    const ButtonCase cases[] = {
        {vbOKOnly, {vbOK}, vbOK, vbOK},
        {vbOKCancel, {vbOK, vbCancel}, vbOK, vbCancel},
        {vbOKCancel + vbExclamation + vbDefaultButton2, {vbOK, vbCancel}, vbCancel, vbCancel},
        {vbAbortRetryIgnore, {vbAbort, vbRetry, vbIgnore}, vbAbort, 0},
        {vbAbortRetryIgnore + vbDefaultButton3, {vbAbort, vbRetry, vbIgnore}, vbIgnore, 0},
        {vbYesNoCancel + vbDefaultButton3, {vbYes, vbNo, vbCancel}, vbCancel, vbCancel},
        {vbYesNo + vbQuestion + vbDefaultButton2, {vbYes, vbNo}, vbNo, 0},
        {vbRetryCancel + vbCritical, {vbRetry, vbCancel}, vbRetry, vbCancel},
        // A third default on a two-button set falls back to the first.
        {vbYesNo + vbDefaultButton3, {vbYes, vbNo}, vbYes, 0},
        {vbOKOnly + vbSystemModal + vbInformation, {vbOK}, vbOK, vbOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(BotonesDe(c.flags), c.buttons);
        EXPECT_EQ(BotonPorDefecto(c.flags), c.byDefault);
        EXPECT_EQ(BotonEscape(c.flags), c.escape);
    }
}

TEST(MsgBoxScript, AnswersInTurnThenDefaultsAndRecordsEveryBox) {
    ScriptedAnswers s({vbNo, vbCancel});
    EXPECT_EQ(MsgBox("¿Confirma?", vbYesNo + vbQuestion, "Eliminar"), vbNo);
    EXPECT_EQ(MsgBox("Se eliminarán", vbOKCancel + vbExclamation + vbDefaultButton2, "T"),
              vbCancel);
    // Queue empty: the default button answers.
    EXPECT_EQ(MsgBox("Otra", vbYesNo + vbDefaultButton2, "T"), vbNo);
    ASSERT_EQ(s.Shown().size(), 3u);
    EXPECT_EQ(s.Shown()[0].text, "¿Confirma?");
    EXPECT_EQ(s.Shown()[0].title, "Eliminar");
    EXPECT_EQ(s.Shown()[0].flags, vbYesNo + vbQuestion);
    EXPECT_EQ(s.Shown()[2].answer, vbNo);
    EXPECT_EQ(s.Pending(), 0u);
}

TEST(MsgBoxScript, NewestScriptWinsAndTheOlderComesBack) {
    ScriptedAnswers outer({vbYes});
    {
        ScriptedAnswers inner({vbNo});
        EXPECT_EQ(MsgBox("a", vbYesNo), vbNo);
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    EXPECT_EQ(ScriptInForce(), &outer);
    EXPECT_EQ(MsgBox("b", vbYesNo), vbYes);
    EXPECT_EQ(outer.Shown().size(), 1u);
}

TEST(MsgBoxScript, TitleDefaultsToTheProgramTitle) {
    SetAppTitle("Dornival");
    ScriptedAnswers s;
    MsgBox("x");
    EXPECT_EQ(s.Shown().at(0).title, "Dornival");
    SetAppTitle("");
}

// The real box, driven by key presses once it is on screen.
QMessageBox* OpenBox() {
    for (int i = 0; i < 200; ++i) {
        if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) return m;
        QTest::qWait(10);
    }
    return nullptr;
}

QAbstractButton* ButtonWithText(QMessageBox* m, const QString& t) {
    for (QAbstractButton* b : m->buttons()) {
        if (b->text() == t) return b;
    }
    return nullptr;
}

TEST(MsgBoxOnScreen, SpanishCaptionsAndEscRules) {
    TestApp();
    struct Case {
        int flags;
        QStringList captions;
        int afterEsc;  // 0: Esc ignored, then the last caption is clicked
        int expected;
    };
    const Case cases[] = {
        {vbOKOnly, {"Aceptar"}, vbOK, vbOK},
        {vbOKCancel, {"Aceptar", "Cancelar"}, vbCancel, vbCancel},
        {vbYesNoCancel, {"Sí", "No", "Cancelar"}, vbCancel, vbCancel},
        {vbYesNo + vbQuestion + vbDefaultButton2, {"Sí", "No"}, 0, vbNo},
        {vbAbortRetryIgnore, {"Anular", "Reintentar", "Omitir"}, 0, vbIgnore},
        {vbRetryCancel, {"Reintentar", "Cancelar"}, vbCancel, vbCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        QStringList seen;
        bool stillOpenAfterEsc = false;
        QTimer::singleShot(0, [&] {
            QMessageBox* m = OpenBox();
            ASSERT_NE(m, nullptr);
            for (QAbstractButton* b : m->buttons()) seen << b->text();
            QTest::keyClick(m, Qt::Key_Escape);
            QTest::qWait(20);
            if (QApplication::activeModalWidget() == m) {
                stillOpenAfterEsc = true;
                m->close();  // the close box is refused too
                QTest::qWait(20);
                ASSERT_EQ(QApplication::activeModalWidget(), m);
                ButtonWithText(m, c.captions.last())->click();
            }
        });
        const int r = MsgBox("texto", c.flags, "Título");
        for (const QString& cap : c.captions) EXPECT_TRUE(seen.contains(cap)) << cap.toStdString();
        EXPECT_EQ(stillOpenAfterEsc, c.afterEsc == 0);
        EXPECT_EQ(r, c.expected);
    }
}

}  // namespace
