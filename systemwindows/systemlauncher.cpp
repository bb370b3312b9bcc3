#include "systemlauncher.h"

#include "computedpicture.h"
#include "coolingpanel.h"
#include "experimentform.h"

#include <QPushButton>

SystemLauncher::SystemLauncher(const ExperimentDefinition &definition, const QString &mineral1,
                               const QString &mineral2, ScatterSource &scatter, SessionRecorder *recorder,
                               QObject *parent)
    : QObject(parent)
    , m_form(new ExperimentForm(definition, ExperimentLayout::forSystem(mineral1, mineral2), scatter, recorder, this,
                                &ComputedPicture::draw))
{
    connect(m_form, &ExperimentForm::unloaded, this, &SystemLauncher::finished);
    connect(m_form, &ExperimentForm::loaded, this, &SystemLauncher::addCooling);
}

void SystemLauncher::addCooling()
{
    // Beside the microprobe, where the lab's windows have room.
    ExperimentWindow *window = m_form->window();
    QPushButton *cool = window->addExtraButton("CoolButton", QStringLiteral("&Cool..."), QRect(3735, 2760, 870, 375));
    connect(cool, &QPushButton::clicked, window, [this, window] {
        auto *panel = window->findChild<CoolingPanel *>();
        if (!panel) {
            panel = new CoolingPanel(m_form, window);
            // Beside the window, so its picture stays in sight.
            panel->adjustSize();
            panel->move(window->frameGeometry().topRight() + QPoint(8, 0));
        }
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
}

void SystemLauncher::show()
{
    m_form->show();
}
