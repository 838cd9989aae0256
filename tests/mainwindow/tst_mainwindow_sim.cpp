#include <QtTest/QtTest>
class tst_mainwindow_sim : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(tst_mainwindow_sim)
#include "tst_mainwindow_sim.moc"
