// Group 4, "mtx": the numbers laid out row by row in a matrix of MatrixCols
// columns — the columns and rows the numbers occupy, how many each holds,
// their masks, numbers that touch in the matrix, tuples of columns or rows,
// and the numbers in one column or row. Every member exists for columns and
// for rows; the row member is the column member with the axes exchanged.
#include <algorithm>
#include <vector>

#include "core/config.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::ColumnFeatures;
using family::FeatureMap;
using family::FeatureStat;
using family::NoCandidates;
using family::RowFeatures;
using family::TupleClass;
using family::TupleShape;

// ---- the occupied columns (or rows) as a mask, the first the most
// significant bit. Up to 32 it is the Key1:Key2 integer; a wider matrix (one
// column has 36 rows) spreads it over all four keys, low word first.
template <family::FeatureFn Features>
class FeatureMaskStat : public family::FromNumbersStat<FeatureStat<TCustomStat, Features>> {
  using Base = family::FromNumbersStat<FeatureStat<TCustomStat, Features>>;

 public:
  using Base::Base;

  std::string ValueText(const StatValue& v) const override {
    const int w = Width();
    const uint64_t mask = MaskOf(v);
    std::string bits;
    for (int f = 1; f <= w; ++f) bits += (mask >> (w - f)) & 1 ? '1' : '0';
    return Fmt("%s (%.3llu)", bits.c_str(), static_cast<unsigned long long>(mask));
  }
  int64_t ValueFromText(const std::string& text) const override {
    const int w = Width();
    uint64_t mask = 0;
    int f = 0;
    for (size_t i = 0; i < text.size() && f < w; ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside one character
      ++f;
      if (text[i] == '1') mask |= uint64_t(1) << (w - f);
    }
    return int64_t(mask);
  }

  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    const uint64_t mask = MaskOf(c);
    if (Width() <= 32) return HasKey1or3(selected, 1, int32_t(uint32_t(mask)));
    StatValue probe;
    SetMask(probe, mask);
    return HasValue(selected, probe.Key1, probe.Key2, probe.Key3, probe.Key4);
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int, bool, FilterMode,
                  uint8_t* out) override {
    const std::vector<uint64_t> chosen = Chosen(selected);
    for (size_t i = 0; i < n; ++i) out[i] = std::binary_search(chosen.begin(), chosen.end(), MaskOf(combs[i]));
  }
  size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected, int, bool,
                     FilterMode mode) override {
    const std::vector<uint64_t> chosen = Chosen(selected);
    const bool drop = mode == FilterMode::RemoveSelected;
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
      const Combination c = in[i];
      out[kept] = c;
      kept += std::binary_search(chosen.begin(), chosen.end(), MaskOf(c)) != drop ? 1 : 0;
    }
    return kept;
  }

 private:
  void AddValues(const Combination& c, TStatDrawArray& values, bool withPeriods) override {
    SetMask(this->Work, MaskOf(c));
    AddValue(values, this->Work, withPeriods);
  }
  int Width() const { return this->map_.Largest(); }
  uint64_t MaskOf(const Combination& c) const {
    const int w = Width();
    uint64_t mask = 0;
    for (uint8_t n : c)
      if (const int f = this->map_.Of(n); f >= 1 && f <= w) mask |= uint64_t(1) << (w - f);
    return mask;
  }
  static uint64_t MaskOf(const StatValue& v) {
    return uint64_t(v.Key1) | (uint64_t(v.Key2) << 16) | (uint64_t(v.Key3) << 32) | (uint64_t(v.Key4) << 48);
  }
  static void SetMask(StatValue& v, uint64_t mask) {
    v.Key1 = uint16_t(mask);
    v.Key2 = uint16_t(mask >> 16);
    v.Key3 = uint16_t(mask >> 32);
    v.Key4 = uint16_t(mask >> 48);
  }
  // The masks a selection matches, sorted: up to 32 bits only Key1:Key2 count.
  std::vector<uint64_t> Chosen(const TStatDrawArray& selected) const {
    std::vector<uint64_t> chosen;
    for (const StatValue& v : selected) chosen.push_back(Width() <= 32 ? uint64_t(uint32_t(v.Int12())) : MaskOf(v));
    std::sort(chosen.begin(), chosen.end());
    return chosen;
  }
};

// ---- numbers that touch along a column (one row apart) or along a row (one
// column apart): per column or row, in the order first met over the pairs
// of positions, how many such pairs it holds.
bool Neighbours(const FeatureMap& m, uint8_t a, uint8_t b) {
  const int f = m.Of(a);
  return f != 0 && f == m.Of(b) && std::abs(int(m.across[a]) - int(m.across[b])) == 1;
}

TStatSimpleArray NeighbourPairs(const FeatureMap& m, const Combination& c) {
  TStatSimpleArray pairs;
  for (int i = 0; i < kDrawSize - 1; ++i)
    for (int j = i + 1; j < kDrawSize; ++j)
      if (Neighbours(m, c[size_t(i)], c[size_t(j)])) CountAdd(pairs, m.Of(c[size_t(i)]), 1);
  return pairs;
}

int NeighbourFeatures(const FeatureMap& m, const Combination& c, int) { return int(NeighbourPairs(m, c).size()); }

template <family::FeatureFn Features>
class NeighbourPairsStat : public family::FromNumbersStat<FeatureStat<TCustomStat, Features>> {
  using Base = family::FromNumbersStat<FeatureStat<TCustomStat, Features>>;

 public:
  using Base::Base;
  std::string ValueText(const StatValue& v) const override { return family::TimesText(v.Key1, v.Key2); }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (const SimpleEntry& e : NeighbourPairs(this->map_, c))
      if (HasValue(selected, uint16_t(e.Key), uint16_t(e.Count + 1), 0, 0)) return true;
    return false;
  }

 private:
  void AddValues(const Combination& c, TStatDrawArray& values, bool withPeriods) override {
    for (const SimpleEntry& e : NeighbourPairs(this->map_, c)) {
      this->Work.Key1 = uint16_t(e.Key);
      this->Work.Key2 = uint16_t(e.Count + 1);
      AddValue(values, this->Work, withPeriods);
    }
  }
};

int ColsUpTo5(const FeatureMap& m) { return std::min(m.cols, kDrawSize); }
int RowsUpTo5(const FeatureMap& m) { return std::min(m.rows, kDrawSize); }
int Rows(const FeatureMap& m) { return m.rows; }
int Cols(const FeatureMap& m) { return m.cols; }

std::pair<int, int> ColumnIndexes(const GameConfig& c) {
  if (c.data.MatrixCols <= 0) return {0, -1};
  return {1, c.data.MatrixCols};
}
std::pair<int, int> RowIndexes(const GameConfig& c) {
  if (c.data.MatrixCols <= 0) return {0, -1};
  return {1, MatrixRows(c.data.MatrixCols)};
}

template <family::FeatureFn F, family::BoundFn Occupied, family::BoundFn Holds>
struct Axis {
  using Each = family::EachFeatureStat<F, false>;
  using Values = family::FeatureCountsStat<F, Holds>;
  using Count = family::FeatureGraphStat<F, &family::OccupiedFeatures, Occupied>;
  using Mask = FeatureMaskStat<F>;
  using Adjacent = NeighbourPairsStat<F>;
  using AdjacentCount = family::FeatureGraphStat<F, &NeighbourFeatures, &NoCandidates>;
  template <int K, TupleShape Shape>
  using Tuple = family::FeatureTupleStat<F, K, Shape>;
};
// Columns: a column holds up to Rows numbers; rows the other way round.
using Columns = Axis<&ColumnFeatures, &ColsUpTo5, &RowsUpTo5>;
using RowsAxis = Axis<&RowFeatures, &RowsUpTo5, &ColsUpTo5>;
using ColValCnt = family::FeatureGraphStat<&ColumnFeatures, &family::NumbersInIndex, &Rows>;
using RowValCnt = family::FeatureGraphStat<&RowFeatures, &family::NumbersInIndex, &Cols>;

extern const StatClassInfo kColumns, kRows, kColValues, kRowValues, kColCount, kRowCount, kColMask, kRowMask,
    kColAjacent, kRowAjacent, kColAjacentCnt, kRowAjacentCnt, kColValCnt, kRowValCnt;

const StatClassInfo kColumns{.className = "TstColumns", .codeFormat = "COLS",
                             .titleFormat = "Столбцы матрицы (не пустые)", .helpCodeFormat = nullptr, .group = 4,
                             .features = kFeatN, .create = &MakeStatWith<Columns::Each, &kColumns>};
const StatClassInfo kRows{.className = "TstRows", .codeFormat = "ROWS", .titleFormat = "Строки матрицы (не пустые)",
                          .helpCodeFormat = nullptr, .group = 4, .features = kFeatN,
                          .create = &MakeStatWith<RowsAxis::Each, &kRows>};
const StatClassInfo kColValues{.className = "TstColValues", .codeFormat = "COLV",
                               .titleFormat = "Количество чисел в столбце матрицы", .helpCodeFormat = nullptr,
                               .group = 4, .features = kFeatN, .numericValues = false,
                               .create = &MakeStatWith<Columns::Values, &kColValues>};
const StatClassInfo kRowValues{.className = "TstRowValues", .codeFormat = "ROWV",
                               .titleFormat = "Количество чисел в строке матрицы", .helpCodeFormat = nullptr,
                               .group = 4, .features = kFeatN, .numericValues = false,
                               .create = &MakeStatWith<RowsAxis::Values, &kRowValues>};
const StatClassInfo kColCount{.className = "TstColCount", .codeFormat = "COLN",
                              .titleFormat = "Количество не пустых столбцов в матрице", .helpCodeFormat = nullptr,
                              .group = 4, .features = kFeatN, .isGraph = true,
                              .create = &MakeStatWith<Columns::Count, &kColCount>};
const StatClassInfo kRowCount{.className = "TstRowCount", .codeFormat = "ROWN",
                              .titleFormat = "Количество не пустых строк в матрице", .helpCodeFormat = nullptr,
                              .group = 4, .features = kFeatN, .isGraph = true,
                              .create = &MakeStatWith<RowsAxis::Count, &kRowCount>};
const StatClassInfo kColMask{.className = "TstColMask", .codeFormat = "COLM",
                             .titleFormat = "Сочетания столбцов матрицы", .helpCodeFormat = nullptr, .group = 4,
                             .features = kFeatN, .create = &MakeStatWith<Columns::Mask, &kColMask>};
const StatClassInfo kRowMask{.className = "TstRowMask", .codeFormat = "ROWM", .titleFormat = "Сочетания строк матрицы",
                             .helpCodeFormat = nullptr, .group = 4, .features = kFeatN,
                             .create = &MakeStatWith<RowsAxis::Mask, &kRowMask>};
const StatClassInfo kColAjacent{.className = "TstColAjacent", .codeFormat = "COLA",
                                .titleFormat = "Столбцы матрицы со смежными числами", .helpCodeFormat = nullptr,
                                .group = 4, .features = kFeatN,
                                .create = &MakeStatWith<Columns::Adjacent, &kColAjacent>};
const StatClassInfo kRowAjacent{.className = "TstRowAjacent", .codeFormat = "ROWA",
                                .titleFormat = "Строки матрицы со смежными числами", .helpCodeFormat = nullptr,
                                .group = 4, .features = kFeatN,
                                .create = &MakeStatWith<RowsAxis::Adjacent, &kRowAjacent>};
const StatClassInfo kColAjacentCnt{.className = "TstColAjacentCnt", .codeFormat = "COLC",
                                   .titleFormat = "Количество столбцов матрицы со смежными числами",
                                   .helpCodeFormat = nullptr, .group = 4, .features = kFeatN, .isGraph = true,
                                   .create = &MakeStatWith<Columns::AdjacentCount, &kColAjacentCnt>};
const StatClassInfo kRowAjacentCnt{.className = "TstRowAjacentCnt", .codeFormat = "ROWC",
                                   .titleFormat = "Количество строк матрицы со смежными числами",
                                   .helpCodeFormat = nullptr, .group = 4, .features = kFeatN, .isGraph = true,
                                   .create = &MakeStatWith<RowsAxis::AdjacentCount, &kRowAjacentCnt>};
const StatClassInfo kColValCnt{.className = "TstColValCnt", .codeFormat = "COL%d",
                               .titleFormat = "Количество чисел в %d столбце матрицы", .helpCodeFormat = "COLx",
                               .group = 4, .features = kFeatN, .isGraph = true, .indexed = true,
                               .indexRange = &ColumnIndexes, .create = &MakeStatWith<ColValCnt, &kColValCnt>};
const StatClassInfo kRowValCnt{.className = "TstRowValCnt", .codeFormat = "ROW%d",
                               .titleFormat = "Количество чисел в %d строке матрицы", .helpCodeFormat = "ROWx",
                               .group = 4, .features = kFeatN, .isGraph = true, .indexed = true,
                               .indexRange = &RowIndexes, .create = &MakeStatWith<RowValCnt, &kRowValCnt>};

extern const StatClassInfo kCombColMix2, kCombColMix3, kCombColMix4, kCombColSeq2, kCombColSeq3, kCombColSeq4,
    kCombRowMix2, kCombRowMix3, kCombRowMix4, kCombRowSeq2, kCombRowSeq3, kCombRowSeq4;
const StatClassInfo kCombColMix2 =
    TupleClass("TstCombColMix2", "KFM2", "Сочетания из 2 столбцов по всем числам тиража", 4,
               &MakeStatWith<Columns::Tuple<2, TupleShape::All>, &kCombColMix2>);
const StatClassInfo kCombColMix3 =
    TupleClass("TstCombColMix3", "KFM3", "Сочетания из 3 столбцов по всем числам тиража", 4,
               &MakeStatWith<Columns::Tuple<3, TupleShape::All>, &kCombColMix3>);
const StatClassInfo kCombColMix4 =
    TupleClass("TstCombColMix4", "KFM4", "Сочетания из 4 столбцов по всем числам тиража", 4,
               &MakeStatWith<Columns::Tuple<4, TupleShape::All>, &kCombColMix4>);
const StatClassInfo kCombColSeq2 =
    TupleClass("TstCombColSeq2", "KFS2", "Сочетания из 2 столбцов по соседним числам", 4,
               &MakeStatWith<Columns::Tuple<2, TupleShape::Adjacent>, &kCombColSeq2>);
const StatClassInfo kCombColSeq3 =
    TupleClass("TstCombColSeq3", "KFS3", "Сочетания из 3 столбцов по соседним числам", 4,
               &MakeStatWith<Columns::Tuple<3, TupleShape::Adjacent>, &kCombColSeq3>);
const StatClassInfo kCombColSeq4 =
    TupleClass("TstCombColSeq4", "KFS4", "Сочетания из 4 столбцов по соседним числам", 4,
               &MakeStatWith<Columns::Tuple<4, TupleShape::Adjacent>, &kCombColSeq4>);
const StatClassInfo kCombRowMix2 =
    TupleClass("TstCombRowMix2", "KRM2", "Сочетания из 2 строк по всем числам тиража", 4,
               &MakeStatWith<RowsAxis::Tuple<2, TupleShape::All>, &kCombRowMix2>);
const StatClassInfo kCombRowMix3 =
    TupleClass("TstCombRowMix3", "KRM3", "Сочетания из 3 строк по всем числам тиража", 4,
               &MakeStatWith<RowsAxis::Tuple<3, TupleShape::All>, &kCombRowMix3>);
const StatClassInfo kCombRowMix4 =
    TupleClass("TstCombRowMix4", "KRM4", "Сочетания из 4 строк по всем числам тиража", 4,
               &MakeStatWith<RowsAxis::Tuple<4, TupleShape::All>, &kCombRowMix4>);
const StatClassInfo kCombRowSeq2 =
    TupleClass("TstCombRowSeq2", "KRS2", "Сочетания из 2 строк по соседним числам", 4,
               &MakeStatWith<RowsAxis::Tuple<2, TupleShape::Adjacent>, &kCombRowSeq2>);
const StatClassInfo kCombRowSeq3 =
    TupleClass("TstCombRowSeq3", "KRS3", "Сочетания из 3 строк по соседним числам", 4,
               &MakeStatWith<RowsAxis::Tuple<3, TupleShape::Adjacent>, &kCombRowSeq3>);
const StatClassInfo kCombRowSeq4 =
    TupleClass("TstCombRowSeq4", "KRS4", "Сочетания из 4 строк по соседним числам", 4,
               &MakeStatWith<RowsAxis::Tuple<4, TupleShape::Adjacent>, &kCombRowSeq4>);

}  // namespace

void RegisterMatrixFamily(StatClassTable& table) {
  for (const StatClassInfo* c :
       {&kColumns, &kRows, &kColValues, &kRowValues, &kColCount, &kRowCount, &kColMask, &kRowMask, &kColAjacent,
        &kRowAjacent, &kColAjacentCnt, &kRowAjacentCnt, &kCombColMix2, &kCombColMix3, &kCombColMix4, &kCombColSeq2,
        &kCombColSeq3, &kCombColSeq4, &kCombRowMix2, &kCombRowMix3, &kCombRowMix4, &kCombRowSeq2, &kCombRowSeq3,
        &kCombRowSeq4, &kColValCnt, &kRowValCnt})
    table.push_back(c);
}

}  // namespace px
