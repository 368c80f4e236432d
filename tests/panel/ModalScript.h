// Answers the modal windows that a test opens, as the user would: each step waits for a
// modal widget of its class to be the active one, then acts on it. A modal window left
// over after the script, or one still open when the time is out, is closed, so that no
// test can hang on exec().
#ifndef PANEL_MODAL_SCRIPT_H
#define PANEL_MODAL_SCRIPT_H

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

class ModalScript
{
public:
    using Action = std::function<void(QWidget*)>;

    ModalScript()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
        timer.start();
        clock.start();
    }

    // Acts on the next active modal widget that inherits className.
    ModalScript& Then(const char* className, Action action)
    {
        steps.push_back({className, std::move(action)});
        return *this;
    }

    // Reads the text of the next message box and presses its OK button.
    ModalScript& Message(QString* text, QString* title = nullptr)
    {
        return Then("QMessageBox", [text, title](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            if (text)
                *text = box->text();
            if (title)
                *title = box->windowTitle();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
        });
    }

    bool Done() const { return steps.empty(); }
    int Leftovers() const { return leftovers; }

    // When set, every message box is answered with its OK button whatever the steps, and
    // noted as "title: text", with a mark for a box that is no critical error with OK alone.
    QStringList* boxes = nullptr;

private:
    struct Step
    {
        const char* className;
        Action action;
    };

    void Tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        // A step handed over but not started yet owns the modal window.
        if (!modal || scheduled > 0)
            return;
        if (boxes && qobject_cast<QMessageBox*>(modal) && (steps.empty() || qstrcmp(steps.front().className, box)))
            steps.push_front({box, [this](QWidget* w) {
                auto* b = static_cast<QMessageBox*>(w);
                const bool error = b->icon() == QMessageBox::Critical && b->standardButtons() == QMessageBox::Ok;
                *boxes << b->windowTitle() + QStringLiteral(": ") + b->text() + (error ? "" : " (not an error box)");
                if (QAbstractButton* ok = b->button(QMessageBox::Ok))
                    ok->click();
                else
                    b->close();
            }});
        if (!steps.empty() && modal->inherits(steps.front().className) && clock.elapsed() < timeout) {
            // Run from a timer of its own: the action may open a nested modal window, and
            // Qt does not fire a timer again while its own slot is running.
            Action action = std::move(steps.front().action);
            steps.pop_front();
            QPointer<QWidget> target(modal);
            ++scheduled;
            QTimer::singleShot(0, &timer, [this, action, target] {
                --scheduled;
                ++running;
                if (target)
                    action(target);
                --running;
            });
            return;
        }
        // A window is left over only when no step is still at work: a step's own window
        // stays modal while the step waits in the nested loop of a window it opened.
        if ((steps.empty() && running == 0) || clock.elapsed() >= timeout) {
            ++leftovers;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    // Long enough for a slow machine under the sanitizers.
    static constexpr qint64 timeout = 30000;

    static constexpr const char* box = "QMessageBox";

    QTimer timer;
    QElapsedTimer clock;
    int scheduled = 0;
    int running = 0;
    std::deque<Step> steps;
    int leftovers = 0;
};

#endif
