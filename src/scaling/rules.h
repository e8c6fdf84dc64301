// Which lengths a scale run rewrites.
#ifndef JKRESCALE_SCALING_RULES_H_
#define JKRESCALE_SCALING_RULES_H_

namespace jk {

enum class ScaleRules {
  // Every length the game reads from the level and its models: besides the
  // classic set, the sectors' boxes, centres and radii, the adjoins'
  // distances, the sky height and the camera distances of the header,
  // templates based on scenery templates, and the models' insert offsets
  // and hierarchies. The engine trusts all of them as they stand.
  kGameTrue,
  // The classic set: world vertices, thing positions and path frames, the
  // sizes of templates based directly on _decor, _structure or _walkstruct,
  // the mipmap distances, the world gravity on request, and the vertices and
  // radii of models.
  kClassic,
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_RULES_H_
