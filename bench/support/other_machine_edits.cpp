#include "other_machine_edits.h"

#include "model/item_digest.h"

namespace kistora::bench {

void EditAsOneMachine(TCatalogue& catalogue, const std::string& side, std::mt19937& random, int itemCount) {
  std::uniform_int_distribution<std::int32_t> pick(1, itemCount);
  for (int i = 0; i < 400; ++i) {
    const std::int32_t number = pick(random);
    if (const TD2Item* item = catalogue.FindItem(number)) {
      auto copy = CopyItem(*item, number);
      copy->Name = side + " " + std::to_string(i);
      catalogue.ModifyItem(number, std::move(copy));
    }
  }
  for (int i = 0; i < 300; ++i) {
    auto item = std::make_unique<TD2Ring>();
    item->Name = side + " neuf " + std::to_string(i);
    catalogue.AddNewItem(std::move(item));
  }
  for (int i = 0; i < 300; ++i) catalogue.DeleteItem(pick(random));
}

}  // namespace kistora::bench
