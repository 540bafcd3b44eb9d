#include "Form3.h"
#include "fakeplatform.h"
#include <QTest>
class TestForm3 : public QObject { Q_OBJECT };
QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
