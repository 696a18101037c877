// The game's content lists, read once from the tables built in, sorted by
// hash so a lookup on a hot path is a binary search.

#include "content.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "joaat.h"

namespace sim {

// Made by the build from reference/game/*.tsv.
const char* game_peds_tsv();
const char* game_vehicles_tsv();
const char* game_objects_sample_tsv();
const char* game_weapons_tsv();
const char* game_ammo_tsv();
const char* game_emotes_tsv();
const char* game_train_configs_tsv();
const char* game_anim_dicts_tsv();
const char* game_texture_dicts_tsv();

namespace {

struct ListFacts {
  const char* noun;
  bool complete;
  const char* (*tsv)();
};

// By ContentList.
constexpr ListFacts list_facts[content_list_count] = {
    {"model", true, game_peds_tsv},
    {"model", true, game_vehicles_tsv},
    {"object", false, game_objects_sample_tsv},
    {"weapon", true, game_weapons_tsv},
    {"ammo type", true, game_ammo_tsv},
    {"emote", true, game_emotes_tsv},
    {"train configuration", true, game_train_configs_tsv},
    {"animation dictionary", false, game_anim_dicts_tsv},
    {"texture dictionary", false, game_texture_dicts_tsv},
    {"map part", false, nullptr},
};

constexpr std::array<const char*, 9> kind_names = {"none", "human", "horse",   "animal", "bird",
                                                   "fish", "other", "vehicle", "object"};

bool same_text_blind(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The columns of a row, by the header's names.
struct Columns {
  int hash = -1, name = -1, kind = -1, outfits = -1, group = -1;
};

std::vector<std::string_view> split(std::string_view line) {
  std::vector<std::string_view> cells;
  size_t from = 0;
  for (;;) {
    const size_t tab = line.find('\t', from);
    cells.push_back(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
    if (tab == std::string_view::npos) return cells;
    from = tab + 1;
  }
}

std::vector<ContentItem> read_list(ContentList list) {
  std::vector<ContentItem> items;
  const ListFacts& facts = list_facts[static_cast<int>(list)];
  if (facts.tsv == nullptr) return items;
  const std::string_view text = facts.tsv();
  Columns col;
  bool header = true;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::vector<std::string_view> cells = split(line);
    if (header) {
      for (int n = 0; n < static_cast<int>(cells.size()); ++n) {
        const std::string_view c = cells[static_cast<size_t>(n)];
        if (c == "hash") col.hash = n;
        if (c == "name") col.name = n;
        if (c == "kind") col.kind = n;
        if (c == "outfits") col.outfits = n;
        if (c == "group") col.group = n;
      }
      header = false;
      continue;
    }
    const auto cell = [&](int n) {
      return n >= 0 && n < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(n)]
                                                          : std::string_view();
    };
    ContentItem item;
    item.hash =
        static_cast<uint32_t>(std::strtoul(std::string(cell(col.hash)).c_str(), nullptr, 16));
    item.name = cell(col.name);
    if (list == ContentList::peds) {
      item.kind = model_kind_named(cell(col.kind));
      item.outfits = std::atoi(std::string(cell(col.outfits)).c_str());
    } else if (list == ContentList::vehicles) {
      item.kind = ModelKind::vehicle;
    } else if (list == ContentList::objects) {
      item.kind = ModelKind::object;
    }
    item.group = cell(col.group);
    items.push_back(item);
  }
  if (list == ContentList::weapons) {
    items.push_back(ContentItem{joaat(unarmed_weapon.data()), unarmed_weapon, ModelKind::none, 0,
                                "group_unarmed"});
  }
  std::sort(items.begin(), items.end(),
            [](const ContentItem& a, const ContentItem& b) { return a.hash < b.hash; });
  return items;
}

const std::vector<ContentItem>& game_list(ContentList list) {
  static const std::array<std::vector<ContentItem>, content_list_count> lists = [] {
    std::array<std::vector<ContentItem>, content_list_count> all;
    for (int n = 0; n < content_list_count; ++n) all[n] = read_list(static_cast<ContentList>(n));
    return all;
  }();
  return lists[static_cast<size_t>(list)];
}

// The families of the game's ped models: a name's first part, or its first
// two when the first is one letter (a_c_, s_m_, u_f_), kept where the list
// holds ten or more of them so that no family of props is taken for one.
std::string family_of(std::string_view name) {
  size_t cut = name.find('_');
  if (cut == std::string_view::npos) return "";
  if (cut == 1) {
    cut = name.find('_', 2);
    if (cut == std::string_view::npos) return "";
  }
  std::string family(name.substr(0, cut + 1));
  for (char& c : family) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return family;
}

const std::vector<std::string>& ped_families() {
  static const std::vector<std::string> families = [] {
    std::map<std::string, int> counts;
    for (const ContentItem& p : game_list(ContentList::peds)) ++counts[family_of(p.name)];
    std::vector<std::string> kept;
    for (const auto& [family, count] : counts) {
      if (!family.empty() && count >= 10) kept.push_back(family);
    }
    return kept;
  }();
  return families;
}

}  // namespace

bool NameLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool list_is_complete(ContentList list) { return list_facts[static_cast<int>(list)].complete; }
const char* content_noun(ContentList list) { return list_facts[static_cast<int>(list)].noun; }

ModelKind model_kind_named(std::string_view name) {
  for (size_t n = 1; n < kind_names.size(); ++n) {
    if (same_text_blind(name, kind_names[n])) return static_cast<ModelKind>(n);
  }
  return ModelKind::none;
}

const char* model_kind_name(ModelKind kind) { return kind_names[static_cast<size_t>(kind)]; }

bool is_creature(ModelKind kind) {
  return kind == ModelKind::horse || kind == ModelKind::animal || kind == ModelKind::bird ||
         kind == ModelKind::fish;
}

const ContentItem* Content::find(ContentList list, uint32_t hash) const {
  const std::vector<ContentItem>& items = game_list(list);
  const auto it = std::lower_bound(items.begin(), items.end(), hash,
                                   [](const ContentItem& i, uint32_t h) { return i.hash < h; });
  if (it != items.end() && it->hash == hash) return &*it;
  const auto& added = added_[static_cast<int>(list)];
  if (added.empty()) return nullptr;
  const auto a = added.find(hash);
  return a == added.end() ? nullptr : &a->second;
}

const ContentItem* Content::find(ContentList list, std::string_view name) const {
  return find(list, joaat(std::string(name).c_str()));
}

const ContentItem* Content::model(uint32_t hash) const {
  for (ContentList list : {ContentList::peds, ContentList::vehicles, ContentList::objects}) {
    if (const ContentItem* item = find(list, hash)) return item;
  }
  return nullptr;
}

bool Content::reads_as_ped(std::string_view name) {
  const std::string family = family_of(name);
  if (family.empty()) return false;
  const std::vector<std::string>& families = ped_families();
  return std::binary_search(families.begin(), families.end(), family);
}

void Content::add(ContentList list, std::string_view name, ModelKind kind) {
  const std::string& kept = added_names_.emplace_back(name);
  ContentItem item;
  item.hash = joaat(kept.c_str());
  item.name = kept;
  item.kind = kind;
  if (is_creature(kind) || kind == ModelKind::human) item.outfits = 1;
  added_[static_cast<int>(list)][item.hash] = item;
}

bool Content::first_mention(ContentList list, uint32_t hash) {
  return told_.insert(static_cast<uint64_t>(list) << 32 | hash).second;
}

}  // namespace sim

// The world's side: what the game has, told once where it lacks it.
#include "world.h"

namespace sim {

std::string World::content_name(uint32_t hash) const {
  if (const std::string* name = name_of(hash)) return *name;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", hash);
  return text;
}

bool World::has_content(ContentList list, uint32_t hash, const char* name) {
  if (content.find(list, hash) != nullptr) return true;
  const bool complete = list_is_complete(list);
  if (content.first_mention(list, hash)) {
    const std::string shown = name != nullptr ? std::string(name) : content_name(hash);
    const std::string noun = content_noun(list);
    journal.write<EntryKind::content>(
        {.what = complete ? noun + " " + shown + " is not in the game"
                          : "the stand-in does not know " + noun + " " + shown,
         .in_a_partial_list = !complete,
         .list = list});
  }
  return !complete;
}

bool World::has_content(ContentList list, const char* name) {
  return has_content(list, joaat(name), name);
}

bool World::model_in_game(uint32_t model) {
  if (model == 0) return false;
  if (content.model(model) != nullptr) return true;
  const std::string* name = name_of(model);
  if (name != nullptr && Content::reads_as_ped(*name)) return has_content(ContentList::peds, model);
  return has_content(ContentList::objects, model);
}

bool World::makes(EntityKind kind, uint32_t model) {
  if (kind == EntityKind::ped) return has_content(ContentList::peds, model);
  if (kind == EntityKind::vehicle) return has_content(ContentList::vehicles, model);
  return true;
}

ModelKind World::model_kind(uint32_t model) const {
  const ContentItem* item = content.model(model);
  return item != nullptr ? item->kind : ModelKind::object;
}

}  // namespace sim
