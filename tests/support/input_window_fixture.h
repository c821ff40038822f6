// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The start every input-window test shares: a fresh analysis state, a recorder in place of the
// message box, long work at a pace the test can hold, the window shown in the C locale; and the
// lookups and typing the tests use on it.
#pragma once

#include "core/state/analysis_state.h"
#include "tests/support/held_work.h"
#include "tests/support/message_recorder.h"
#include "tests/support/typing.h"
#include "ui/input_window/form1.h"
#include "ui/long_work/task_gate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

inline const QColor Pink(255, 192, 192);
inline const QColor Green(0, 255, 0);

// The colour a field or a label is filled with.
inline QColor BackColor(const QWidget *widget)
{
    return widget->palette().color(widget->backgroundRole());
}

class InputWindowFixture
{
public:
    // From a test's init(): QVERIFY(fixture.Start()).
    bool Start()
    {
        QLocale::setDefault(QLocale::c());
        pace.Reset();
        state = std::make_unique<AnalysisState>();
        box = std::make_unique<MessageRecorder>();
        form = std::make_unique<Form1>(*state, *box, gate);
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }
    // From a test's cleanup().
    void Stop()
    {
        form.reset();
        pace.Reset();
        QLocale::setDefault(QLocale::c());
    }

    QLineEdit *Field(const char *name) const { return form->findChild<QLineEdit *>(name); }
    QLabel *Label(const char *name) const { return form->findChild<QLabel *>(name); }
    QPushButton *Button(const char *name) const { return form->findChild<QPushButton *>(name); }
    // Replaces a field's text the way a user does.
    void Type(const char *name, const QString &text) const { Retype(Field(name), text); }
    void Click(const char *button) const { QTest::mouseClick(Button(button), Qt::LeftButton); }
    // The messages shown so far.
    QStringList Shown() const
    {
        QStringList texts;
        for (const auto &text : box->shown)
            texts << QString::fromStdU16String(text);
        return texts;
    }

    std::unique_ptr<AnalysisState> state;
    std::unique_ptr<MessageRecorder> box;
    HeldWork pace;
    TaskGate gate {pace};
    std::unique_ptr<Form1> form;
};
