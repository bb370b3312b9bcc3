#include "experiment1definition.h"

#include "eutecticdiagram.h"
#include "experiment1model.h"

ExperimentDefinition experiment1Definition(const Kit::Variant &variant)
{
    using D = EutecticDiagram;
    DiagramWarp warp{D::mineral1MeltingT, D::mineral2MeltingT, D::mineral1MeltingT + variant.meltShift1,
                     D::mineral2MeltingT + variant.meltShift2, variant.stretch, {D::eutecticT}};
    return {1, "Experiment 1", 2000, "mineral 2",
            [warp] { return std::make_unique<Experiment1Model>(warp); },
            [warp] { return D::outline().warped(warp); }, {}, 0};
}
