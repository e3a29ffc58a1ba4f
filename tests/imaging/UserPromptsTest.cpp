#include "UserPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// What the default prompts put on the screen, read while the box is open.
struct ShownBox
{
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Reads the message box the next prompt opens, then answers it.
void whenBoxOpens(QWidget* context, ShownBox& shown,
                  const std::function<void(QMessageBox&)>& answer)
{
    QTimer::singleShot(0, context, [&shown, answer] {
        const auto openBox = [] {
            return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        };
        if (!QTest::qWaitFor([&] { return openBox() != nullptr; }))
            return;
        QMessageBox* box = openBox();
        shown.title = box->windowTitle();
        shown.text = box->text();
        for (QAbstractButton* button : box->buttons())
            shown.buttons.append(box->standardButton(button));
        if (box->defaultButton() != nullptr)
            shown.defaultButton = box->standardButton(box->defaultButton());
        answer(*box);
    });
}

} // namespace

class UserPromptsTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultQuestionIsYesNoWithYesFirst();
    void defaultMessageShowsItsText();
    void saveQuestionOffersSaveDiscardCancel();
};

void UserPromptsTest::defaultQuestionIsYesNoWithYesFirst()
{
    QWidget parent;
    const UserPrompts prompts;
    ShownBox shown;
    // Enter takes the default button.
    whenBoxOpens(&parent, shown, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    QVERIFY(prompts.ask(&parent, QStringLiteral("特别提示"), QStringLiteral("真要删除?")));
    QCOMPARE(shown.title, QStringLiteral("特别提示"));
    QCOMPARE(shown.text, QStringLiteral("真要删除?"));
    QCOMPARE(shown.buttons.size(), 2);
    QVERIFY(shown.buttons.contains(QMessageBox::Yes));
    QVERIFY(shown.buttons.contains(QMessageBox::No));
    QCOMPARE(shown.defaultButton, QMessageBox::Yes);

    ShownBox second;
    whenBoxOpens(&parent, second, [](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    QVERIFY(!prompts.ask(&parent, QStringLiteral("特别提示"), QStringLiteral("真要删除?")));
    QCOMPARE(second.text, QStringLiteral("真要删除?"));
}

void UserPromptsTest::defaultMessageShowsItsText()
{
    QWidget parent;
    const UserPrompts prompts;
    ShownBox shown;
    whenBoxOpens(&parent, shown, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    prompts.tell(&parent, QStringLiteral("保存失败"), QStringLiteral("无法保存 a.png"));
    QCOMPARE(shown.title, QStringLiteral("保存失败"));
    QCOMPARE(shown.text, QStringLiteral("无法保存 a.png"));
}

void UserPromptsTest::saveQuestionOffersSaveDiscardCancel()
{
    using Choice = UserPrompts::SaveChoice;
    QWidget parent;
    const UserPrompts prompts;
    const auto answerWith = [&](const std::function<void(QMessageBox&)>& answer,
                                QStringList* texts = nullptr) {
        ShownBox shown;
        QStringList buttonTexts;
        whenBoxOpens(&parent, shown, [&](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                buttonTexts << button->text();
            answer(box);
        });
        const Choice choice =
            prompts.askSave(&parent, QStringLiteral("保存项目"), QStringLiteral("要先保存吗?"));
        if (texts != nullptr)
            *texts = buttonTexts;
        return choice;
    };
    const auto clickText = [](const QString& text) {
        return [text](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                if (button->text() == text)
                    button->click();
        };
    };
    QStringList texts;
    // Enter saves; Escape, like closing the box, cancels.
    QCOMPARE(answerWith([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, &texts),
             Choice::Save);
    texts.sort();
    QStringList expected{ QStringLiteral("保存"), QStringLiteral("不保存"),
                          QStringLiteral("取消") };
    expected.sort();
    QCOMPARE(texts, expected);
    QCOMPARE(answerWith([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
             Choice::Cancel);
    QCOMPARE(answerWith(clickText(QStringLiteral("不保存"))), Choice::Discard);
    QCOMPARE(answerWith(clickText(QStringLiteral("取消"))), Choice::Cancel);
}

QTEST_MAIN(UserPromptsTest)
#include "UserPromptsTest.moc"
