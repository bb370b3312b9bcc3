#include "systemlauncher.h"

#include "computedpicture.h"
#include "experimentform.h"

SystemLauncher::SystemLauncher(const ExperimentDefinition &definition, const QString &mineral1,
                               const QString &mineral2, ScatterSource &scatter, SessionRecorder *recorder,
                               QObject *parent)
    : QObject(parent)
    , m_form(new ExperimentForm(definition, ExperimentLayout::forSystem(mineral1, mineral2), scatter, recorder, this,
                                &ComputedPicture::draw))
{
    connect(m_form, &ExperimentForm::unloaded, this, &SystemLauncher::finished);
}

void SystemLauncher::show()
{
    m_form->show();
}
