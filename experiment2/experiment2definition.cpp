#include "experiment2definition.h"

#include "experiment2model.h"
#include "solidsolutiondiagram.h"

ExperimentDefinition experiment2Definition(const Kit::Variant &variant)
{
    using D = SolidSolutionDiagram;
    DiagramWarp warp{D::mineral1MeltingT, D::mineral2MeltingT, D::mineral1MeltingT + variant.meltShift1,
                     D::mineral2MeltingT + variant.meltShift2, variant.stretch, {}};
    return {2, "Experiment 2", 1900, "the solid solution",
            [warp] { return std::make_unique<Experiment2Model>(warp); },
            [warp] { return D::outline().warped(warp); }, {}, 0};
}
