#include "shell/keyfilter.h"
#include "shell/windowhelpers.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace orvane;

namespace {

// A small window of the test's own with absolutely placed controls.
struct Form {
    QWidget window;
    QPushButton *button;
    QTextEdit *text;
    QTimer *timer;
    Form()
    {
        window.resize(400, 300);
        button = new QPushButton(QStringLiteral("按钮"), &window);
        button->setObjectName(QStringLiteral("cmdOne"));
        button->setGeometry(10, 20, 100, 30);
        text = new QTextEdit(&window);
        text->setObjectName(QStringLiteral("txtMain"));
        text->setGeometry(50, 60, 200, 120);
        timer = new QTimer(&window);
        timer->setObjectName(QStringLiteral("tmrClock"));
    }
};

// Counts the context-menu events that get through to the widget.
class ContextMenuCounter : public QObject {
public:
    int seen = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::ContextMenu)
            ++seen;
        return false;
    }
};

// Counts the times a widget is hidden.
class HideCounter : public QObject {
public:
    int seen = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Hide)
            ++seen;
        return false;
    }
};

} // namespace

class TestWindowHelpers : public QObject {
    Q_OBJECT
private slots:
    void recordAndScale();
    void scaleReadsTag_data();
    void scaleReadsTag();
    void relayoutKeepsVisibility();
    void aControlLeftOutIsNeitherMovedNorHidden();
    void filterKey_data();
    void filterKey();
    void contextMenuHiddenWhileRightButtonDown();
    void mainTextIgnoresClicksAndTyping();
    void numericFieldPassesDigitsAndDialogKeys();
};

void TestWindowHelpers::recordAndScale()
{
    Form f;
    LayoutState state;
    RecordLayout(&f.window, state);
    QCOMPARE(state.DesignWidth, 400);
    QCOMPARE(state.DesignHeight, 300);
    QCOMPARE(f.button->property("Tag").toString(), QStringLiteral("10 20 100 30 "));
    QVERIFY(!f.timer->property("Tag").isValid()); // no geometry: passed over
    // Qt's inner children of the text box are not controls.
    QVERIFY(!formControls(&f.window).contains(f.text->viewport()));

    f.window.resize(800, 450);
    ScaleControls(&f.window, state);
    QCOMPARE(state.ScaleRatioX, 2.0);
    QCOMPARE(f.button->geometry(), QRect(20, 30, 200, 45));
    QCOMPARE(f.text->geometry(), QRect(100, 90, 400, 180));

    f.window.resize(400, 300); // back to the design size: back to the design geometry
    ScaleControls(&f.window, state);
    QCOMPARE(f.button->geometry(), QRect(10, 20, 100, 30));
}

void TestWindowHelpers::scaleReadsTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QRect>("expected"); // at twice the design size
    QTest::newRow("four numbers") << "10 20 30 40 " << QRect(20, 40, 60, 80);
    QTest::newRow("only two numbers: no size") << "10 20 " << QRect(20, 40, 0, 0);
    QTest::newRow("fractions") << "10.5 20 30 40 " << QRect(21, 40, 60, 80);
    QTest::newRow("no number: not moved") << "a b c d " << QRect(1, 2, 3, 4);
}

void TestWindowHelpers::scaleReadsTag()
{
    QFETCH(QString, tag);
    QFETCH(QRect, expected);
    Form f;
    LayoutState state;
    RecordLayout(&f.window, state);
    f.button->setGeometry(1, 2, 3, 4);
    f.button->setProperty("Tag", tag);
    f.window.resize(800, 600);
    ScaleControls(&f.window, state);
    QCOMPARE(f.button->geometry(), expected);
}

void TestWindowHelpers::relayoutKeepsVisibility()
{
    Form f;
    f.window.show();
    f.text->hide();
    LayoutState state;
    RecordLayout(&f.window, state);
    f.window.resize(800, 600);
    RelayoutForm(&f.window, state);
    QVERIFY(f.button->isVisible());
    QVERIFY(!f.text->isVisible()); // a hidden control stays hidden
    QCOMPARE(f.button->geometry(), QRect(20, 40, 200, 60));
    QVERIFY(HasVisibleProperty(f.button));
    QVERIFY(!HasVisibleProperty(f.timer));
}

void TestWindowHelpers::aControlLeftOutIsNeitherMovedNorHidden()
{
    Form f;
    auto *box = new QLineEdit(&f.window);
    box->setObjectName(QStringLiteral("txtTyping"));
    box->setGeometry(30, 40, 50, 20);
    f.window.show();
    LayoutState state;
    RecordLayout(&f.window, state);
    LeaveOutOfLayout(box);
    box->move(70, 80); // where the form put it
    HideCounter hides;
    box->installEventFilter(&hides);
    f.window.resize(800, 600);
    RelayoutForm(&f.window, state);
    QCOMPARE(hides.seen, 0);
    QVERIFY(box->isVisible());
    QCOMPARE(box->geometry(), QRect(70, 80, 50, 20));
    QCOMPARE(f.button->geometry(), QRect(20, 40, 200, 60)); // the others still scale
}

void TestWindowHelpers::filterKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("allowBackspace");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digit") << int('7') << true << int('7') << 0;
    QTest::newRow("zero") << int('0') << true << int('0') << 0;
    QTest::newRow("backspace allowed") << 8 << true << 8 << 0;
    QTest::newRow("backspace refused") << 8 << false << 0 << 1;
    QTest::newRow("letter") << int('a') << true << 0 << 1;
    QTest::newRow("minus") << int('-') << true << 0 << 1;
    QTest::newRow("blank") << int(' ') << true << 0 << 1;
    QTest::newRow("full-width digit") << 0xFF11 << true << 0 << 1;
}

void TestWindowHelpers::filterKey()
{
    QFETCH(int, key);
    QFETCH(bool, allowBackspace);
    QFETCH(int, result);
    QFETCH(int, beeps);
    int beeped = 0;
    QCOMPARE(FilterKey(key, QStringLiteral("0123456789"), allowBackspace, [&] { ++beeped; }), result);
    QCOMPARE(beeped, beeps);
    // Letter case is ignored in the allowed set.
    QCOMPARE(FilterKey('b', QStringLiteral("AB"), false), int('b'));
}

void TestWindowHelpers::contextMenuHiddenWhileRightButtonDown()
{
    QLineEdit box;
    box.show();
    ContextMenuCounter counter;
    box.installEventFilter(&counter);
    auto *guard = new ContextMenuGuard(&box);

    QTest::mousePress(&box, Qt::RightButton);
    QVERIFY(guard->isProtecting());
    QContextMenuEvent during(QContextMenuEvent::Mouse, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&box, &during);
    QTest::mouseRelease(&box, Qt::RightButton);
    QContextMenuEvent rightAfter(QContextMenuEvent::Mouse, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&box, &rightAfter); // the platform's menu after the release
    QCOMPARE(counter.seen, 0);

    QTRY_VERIFY(!guard->isProtecting());
    QContextMenuEvent later(QContextMenuEvent::Keyboard, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&box, &later);
    QCOMPARE(counter.seen, 1); // the box behaves normally again

    // A left press does nothing.
    QTest::mousePress(&box, Qt::LeftButton);
    QVERIFY(!guard->isProtecting());
    QTest::mouseRelease(&box, Qt::LeftButton);
}

void TestWindowHelpers::mainTextIgnoresClicksAndTyping()
{
    QTextEdit view;
    view.setPlainText(QStringLiteral("第一行\n第二行\n第三行"));
    view.show();
    MainTextProc proc;
    view.installEventFilter(&proc);
    view.viewport()->installEventFilter(&proc);

    QTextCursor c = view.textCursor();
    c.setPosition(0);
    view.setTextCursor(c);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(view.textCursor().position(), 0); // no caret placement by click
    QTest::keyClicks(&view, QStringLiteral("abc"));
    QCOMPARE(view.toPlainText(), QStringLiteral("第一行\n第二行\n第三行"));
    QTest::keyClick(&view, Qt::Key_Down); // navigation still works
    QVERIFY(view.textCursor().position() > 0);
}

void TestWindowHelpers::numericFieldPassesDigitsAndDialogKeys()
{
    QLineEdit field;
    NumericKeyFilter filter(&field);
    field.installEventFilter(&filter);
    int returns = 0;
    connect(&field, &QLineEdit::returnPressed, [&returns] { ++returns; });
    QTest::keyClicks(&field, QStringLiteral("1a2-3"));
    QCOMPARE(field.text(), QStringLiteral("123"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(field.text(), QStringLiteral("12"));
    // Enter, Tab and Escape carry control characters as their text; they still reach the field
    // and the dialog around it.
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(returns, 1);
    QTest::keyClick(&field, Qt::Key_Left);
    QCOMPARE(field.cursorPosition(), 1);
}

QTEST_MAIN(TestWindowHelpers)
#include "test_windowhelpers.moc"
