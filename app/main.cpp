#include "analyticalscatter.h"
#include "form1.h"
#include "labexperiments.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // One scatter source for the whole program, unseeded: every start of
    // the lab draws the same sequence.
    AnalyticalScatter scatter;
    Form1 menu(labExperiments(), scatter);
    menu.show();
    return application.exec();
}
