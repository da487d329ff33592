// The course window "课程": the lessons with their goal, state and best result, a start button
// for the selected lesson and the drill of weak items. The states come from the history each
// time a lesson's test window closes.
#pragma once

#include "context/appcontext.h"
#include "teaching/course.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class CourseWindow final : public QDialog {
    Q_OBJECT
public:
    explicit CourseWindow(AppContext &ctx, QWidget *parent = nullptr);

    QTableWidget *lstLessons = nullptr;
    QLabel *lblItems = nullptr;
    QPushButton *cmdStart = nullptr;
    QPushButton *cmdDrill = nullptr;
    QPushButton *cmdClose = nullptr;

    // Opens the selected lesson in the test window, then shows the states again.
    void cmdStart_Click();
    void cmdDrill_Click();

    const QVector<Lesson> &lessons() const { return m_lessons; }
    const QVector<LessonProgress> &progress() const { return m_progress; }
    // Reads the history again and shows every lesson's state; the first lesson not yet passed is
    // selected when keepSelection is off.
    void refresh(bool keepSelection = false);

private:
    void selectionChanged();

    AppContext &m_ctx;
    QVector<Lesson> m_lessons;
    QVector<LessonProgress> m_progress;
};

// "练习薄弱项": the drill of the weak items in the history, opened in the test window over parent;
// tells the learner when there is nothing to practise.
void practiseWeakItems(AppContext &ctx, QWidget *parent);

} // namespace orvane
