#include "screens/picture_set.h"

#include "screens/pictures.h"

namespace tandemhoop {

const Surface* PictureSet::Find(PictureRef ref) const {
  switch (ref.form) {
    case Holder::Form2:
      return ref.index >= 1 && ref.index <= form2::kPictureCount ? &form2[ref.index] : nullptr;
    case Holder::Form3:
      return ref.index == form3::Picture1 ? &court : nullptr;
    case Holder::Form4:
      return ref.index == 1 || ref.index == 2 ? &badges[ref.index] : nullptr;
    case Holder::Form5:
      return ref.index == form5::Picture1 ? &title : nullptr;
  }
  return nullptr;
}

Surface* PictureSet::Find(PictureRef ref) {
  return const_cast<Surface*>(static_cast<const PictureSet&>(*this).Find(ref));
}

}  // namespace tandemhoop
