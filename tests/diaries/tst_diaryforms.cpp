#include <QTest>
class DiaryFormsTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(DiaryFormsTest)
#include "tst_diaryforms.moc"
