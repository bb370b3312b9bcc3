#include "computedpicture.h"

#include "chargecontent.h"
#include "chargepicture.h"

wmf::ReadResult ComputedPicture::draw(const ExperimentSession &session, const Charge &charge)
{
    QString seed = QString::fromStdString(session.definition().id);
    for (const Charge::PhaseShare &share : charge.shares)
        seed += QLatin1Char(':') + QString::fromStdString(share.name);
    return wmf::Picture::read(charge::ChargePicture::draw(charge::ChargeContent::ofComputed(charge, seed)));
}
