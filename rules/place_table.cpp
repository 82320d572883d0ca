// Constant data of the place table and its lookups. The invariants the rest of the program relies
// on are checked below at compile time.
#include "rules/place_table.h"

#include <array>

#include "rules/id_number.h"

namespace rules {
namespace {

// Each entry: a three-character district name (a two-character name has U+3000 in the middle),
// two ASCII spaces, the three-digit postal code. Index i holds id i + 2.
constexpr std::array<std::u16string_view, kPostalEntryCount> kPostalEntries = {
    // 1 台北市: ids 2 to 13
    u"中正區  100",
    u"大同區  103",
    u"中山區  104",
    u"松山區  105",
    u"大安區  106",
    u"萬華區  108",
    u"信義區  110",
    u"士林區  111",
    u"北投區  112",
    u"內湖區  114",
    u"南港區  115",
    u"文山區  116",
    // 2 台中市: ids 14 to 21
    u"中\u3000區  400",
    u"東\u3000區  401",
    u"南\u3000區  402",
    u"西\u3000區  403",
    u"北\u3000區  404",
    u"北屯區  406",
    u"西屯區  407",
    u"南屯區  408",
    // 3 基隆市: ids 22 to 28
    u"仁愛區  200",
    u"信義區  201",
    u"中正區  202",
    u"中山區  203",
    u"安樂區  204",
    u"暖暖區  205",
    u"七堵區  206",
    // 4 台南市: ids 29 to 35
    u"中\u3000區  700",
    u"東\u3000區  701",
    u"南\u3000區  702",
    u"西\u3000區  703",
    u"北\u3000區  704",
    u"安平區  708",
    u"安南區  709",
    // 5 高雄市: ids 36 to 46
    u"新興區  800",
    u"前金區  801",
    u"苓雅區  802",
    u"鹽埕區  803",
    u"鼓山區  804",
    u"旗津區  805",
    u"前鎮區  806",
    u"三民區  807",
    u"楠梓區  811",
    u"小港區  812",
    u"左營區  813",
    // 6 台北縣: ids 47 to 75
    u"萬\u3000里  207",
    u"金\u3000山  208",
    u"板\u3000橋  220",
    u"汐\u3000止  221",
    u"深\u3000坑  222",
    u"石\u3000碇  223",
    u"瑞\u3000芳  224",
    u"平\u3000溪  226",
    u"雙\u3000溪  227",
    u"貢\u3000寮  228",
    u"新\u3000店  231",
    u"坪\u3000林  232",
    u"烏\u3000來  233",
    u"永\u3000和  234",
    u"中\u3000和  235",
    u"土\u3000城  236",
    u"三\u3000峽  237",
    u"樹\u3000林  238",
    u"鶯\u3000歌  239",
    u"三\u3000重  241",
    u"新\u3000莊  242",
    u"泰\u3000山  243",
    u"林\u3000口  244",
    u"蘆\u3000洲  247",
    u"五\u3000股  248",
    u"八\u3000里  249",
    u"淡\u3000水  251",
    u"三\u3000芝  252",
    u"石\u3000門  253",
    // 7 宜蘭縣: ids 76 to 87
    u"宜\u3000蘭  260",
    u"頭\u3000城  261",
    u"礁\u3000溪  262",
    u"壯\u3000圍  263",
    u"員\u3000山  264",
    u"羅\u3000東  265",
    u"三\u3000星  266",
    u"大\u3000同  267",
    u"五\u3000結  268",
    u"冬\u3000山  269",
    u"蘇\u3000澳  270",
    u"南\u3000澳  272",
    // 8 桃園縣: ids 88 to 100
    u"中\u3000壢  320",
    u"平\u3000鎮  324",
    u"龍\u3000潭  325",
    u"楊\u3000梅  326",
    u"新\u3000屋  327",
    u"觀\u3000音  328",
    u"桃\u3000園  330",
    u"龜\u3000山  333",
    u"八\u3000德  334",
    u"大\u3000溪  335",
    u"復\u3000興  336",
    u"大\u3000園  337",
    u"蘆\u3000竹  338",
    // 9 新竹縣: ids 101 to 113
    u"竹\u3000北  302",
    u"湖\u3000口  303",
    u"新\u3000豐  304",
    u"新\u3000埔  305",
    u"關\u3000西  306",
    u"芎\u3000林  307",
    u"寶\u3000山  308",
    u"竹\u3000東  310",
    u"五\u3000峰  311",
    u"橫\u3000山  312",
    u"尖\u3000石  313",
    u"北\u3000埔  314",
    u"峨\u3000眉  315",
    // 10 苗栗縣: ids 114 to 131
    u"竹\u3000南  350",
    u"頭\u3000份  351",
    u"三\u3000灣  352",
    u"南\u3000庄  353",
    u"獅\u3000潭  354",
    u"後\u3000龍  356",
    u"通\u3000霄  357",
    u"苑\u3000裡  358",
    u"苗\u3000栗  360",
    u"造\u3000橋  361",
    u"頭\u3000屋  362",
    u"公\u3000館  363",
    u"大\u3000湖  364",
    u"泰\u3000安  365",
    u"銅\u3000鑼  366",
    u"三\u3000義  367",
    u"西\u3000湖  368",
    u"卓\u3000蘭  369",
    // 11 台中縣: ids 132 to 152
    u"太\u3000平  411",
    u"大\u3000里  412",
    u"霧\u3000峰  413",
    u"烏\u3000日  414",
    u"豐\u3000原  420",
    u"后\u3000里  421",
    u"石\u3000岡  422",
    u"東\u3000勢  423",
    u"和\u3000平  424",
    u"新\u3000社  426",
    u"潭\u3000子  427",
    u"大\u3000雅  428",
    u"神\u3000岡  429",
    u"大\u3000肚  432",
    u"沙\u3000鹿  433",
    u"龍\u3000井  434",
    u"梧\u3000棲  435",
    u"清\u3000水  436",
    u"大\u3000甲  437",
    u"外\u3000埔  438",
    u"大\u3000安  439",
    // 12 南投縣: ids 153 to 165
    u"南\u3000投  540",
    u"中\u3000寮  541",
    u"草\u3000屯  542",
    u"國\u3000姓  544",
    u"埔\u3000里  545",
    u"仁\u3000愛  546",
    u"名\u3000間  551",
    u"集\u3000集  552",
    u"水\u3000里  553",
    u"魚\u3000池  555",
    u"信\u3000義  556",
    u"竹\u3000山  557",
    u"鹿\u3000谷  558",
    // 13 彰化縣: ids 166 to 191
    u"彰\u3000化  500",
    u"芬\u3000園  502",
    u"花\u3000壇  503",
    u"秀\u3000水  504",
    u"鹿\u3000港  505",
    u"福\u3000興  506",
    u"線\u3000西  507",
    u"和\u3000美  508",
    u"伸\u3000港  509",
    u"員\u3000林  510",
    u"社\u3000頭  511",
    u"永\u3000靖  512",
    u"埔\u3000心  513",
    u"溪\u3000湖  514",
    u"大\u3000村  515",
    u"埔\u3000鹽  516",
    u"田\u3000中  520",
    u"北\u3000斗  521",
    u"田\u3000尾  522",
    u"埤\u3000頭  523",
    u"溪\u3000州  524",
    u"竹\u3000塘  525",
    u"二\u3000林  526",
    u"大\u3000城  527",
    u"芳\u3000苑  528",
    u"二\u3000水  530",
    // 14 雲林縣: ids 192 to 211
    u"斗\u3000南  630",
    u"大\u3000埤  631",
    u"虎\u3000尾  632",
    u"土\u3000庫  633",
    u"褒\u3000忠  634",
    u"東\u3000勢  635",
    u"臺\u3000西  636",
    u"崙\u3000背  637",
    u"麥\u3000寮  638",
    u"斗\u3000六  640",
    u"林\u3000內  643",
    u"古\u3000坑  646",
    u"莿\u3000桐  647",
    u"西\u3000螺  648",
    u"二\u3000崙  649",
    u"北\u3000港  651",
    u"水\u3000林  652",
    u"口\u3000湖  653",
    u"四\u3000湖  654",
    u"元\u3000長  655",
    // 15 嘉義縣: ids 212 to 229
    u"番\u3000路  602",
    u"梅\u3000山  603",
    u"竹\u3000崎  604",
    u"阿里山  605",
    u"中\u3000埔  606",
    u"大\u3000埔  607",
    u"水\u3000上  608",
    u"鹿\u3000草  611",
    u"太\u3000保  612",
    u"朴\u3000子  613",
    u"東\u3000石  614",
    u"六\u3000腳  615",
    u"新\u3000港  616",
    u"民\u3000雄  621",
    u"大\u3000林  622",
    u"溪\u3000口  623",
    u"義\u3000竹  624",
    u"布\u3000袋  625",
    // 16 台南縣: ids 230 to 260
    u"永\u3000康  710",
    u"歸\u3000仁  711",
    u"新\u3000化  712",
    u"左\u3000鎮  713",
    u"玉\u3000井  714",
    u"楠\u3000西  715",
    u"南\u3000化  716",
    u"仁\u3000德  717",
    u"關\u3000廟  718",
    u"龍\u3000崎  719",
    u"官\u3000田  720",
    u"麻\u3000豆  721",
    u"佳\u3000里  722",
    u"西\u3000港  723",
    u"七\u3000股  724",
    u"將\u3000軍  725",
    u"學\u3000甲  726",
    u"北\u3000門  727",
    u"新\u3000營  730",
    u"後\u3000壁  731",
    u"白\u3000河  732",
    u"東\u3000山  733",
    u"六\u3000甲  734",
    u"下\u3000營  735",
    u"柳\u3000營  736",
    u"鹽\u3000水  737",
    u"善\u3000化  741",
    u"大\u3000內  742",
    u"山\u3000上  743",
    u"新\u3000市  744",
    u"安\u3000定  745",
    // 17 高雄縣: ids 261 to 287
    u"仁\u3000武  814",
    u"大\u3000社  815",
    u"岡\u3000山  820",
    u"路\u3000竹  821",
    u"阿\u3000蓮  822",
    u"田\u3000寮  823",
    u"燕\u3000巢  824",
    u"橋\u3000頭  825",
    u"梓\u3000官  826",
    u"彌\u3000陀  827",
    u"永\u3000安  828",
    u"湖\u3000內  829",
    u"鳳\u3000山  830",
    u"大\u3000寮  831",
    u"林\u3000園  832",
    u"鳥\u3000松  833",
    u"大\u3000樹  840",
    u"旗\u3000山  842",
    u"美\u3000濃  843",
    u"六\u3000龜  844",
    u"內\u3000門  845",
    u"杉\u3000林  846",
    u"甲\u3000仙  847",
    u"桃\u3000源  848",
    u"三\u3000民  849",
    u"茂\u3000林  851",
    u"茄\u3000萣  852",
    // 18 屏東縣: ids 288 to 320
    u"屏\u3000東  900",
    u"三地門  901",
    u"霧\u3000臺  902",
    u"瑪\u3000家  903",
    u"九\u3000如  904",
    u"里\u3000港  905",
    u"高\u3000樹  906",
    u"鹽\u3000埔  907",
    u"長\u3000治  908",
    u"麟\u3000洛  909",
    u"竹\u3000田  911",
    u"內\u3000埔  912",
    u"萬\u3000丹  913",
    u"潮\u3000州  920",
    u"泰\u3000武  921",
    u"來\u3000義  922",
    u"萬\u3000巒  923",
    u"崁\u3000頂  924",
    u"新\u3000埤  925",
    u"南\u3000州  926",
    u"林\u3000邊  927",
    u"東\u3000港  928",
    u"琉\u3000球  929",
    u"佳\u3000冬  931",
    u"新\u3000園  932",
    u"枋\u3000寮  940",
    u"枋\u3000山  941",
    u"春\u3000日  942",
    u"獅\u3000子  943",
    u"車\u3000城  944",
    u"牡\u3000丹  945",
    u"恆\u3000春  946",
    u"滿\u3000州  947",
    // 19 花蓮縣: ids 321 to 333
    u"花\u3000蓮  970",
    u"新\u3000城  971",
    u"秀\u3000林  972",
    u"吉\u3000安  973",
    u"壽\u3000豐  974",
    u"鳳\u3000林  975",
    u"光\u3000復  976",
    u"豐\u3000濱  977",
    u"瑞\u3000穗  978",
    u"萬\u3000榮  979",
    u"玉\u3000里  981",
    u"卓\u3000溪  982",
    u"富\u3000里  983",
    // 20 台東縣: ids 334 to 349
    u"臺\u3000東  950",
    u"綠\u3000島  951",
    u"蘭\u3000嶼  952",
    u"延\u3000平  953",
    u"卑\u3000南  954",
    u"鹿\u3000野  955",
    u"關\u3000山  956",
    u"海\u3000端  957",
    u"池\u3000上  958",
    u"東\u3000河  959",
    u"成\u3000功  961",
    u"長\u3000濱  962",
    u"太麻里  963",
    u"金\u3000峰  964",
    u"大\u3000武  965",
    u"達\u3000仁  966",
    // 21 澎湖縣: ids 350 to 355
    u"馬\u3000公  880",
    u"西\u3000嶼  881",
    u"望\u3000安  882",
    u"七\u3000美  883",
    u"白\u3000沙  884",
    u"湖\u3000西  885",
    // 23 金門縣: ids 356 to 361
    u"金\u3000沙  890",
    u"金\u3000湖  891",
    u"金\u3000寧  892",
    u"金\u3000城  893",
    u"烈\u3000嶼  894",
    u"烏\u3000坵  896",
    // 24 連江縣: ids 362 to 365
    u"南\u3000竿  209",
    u"北\u3000竿  210",
    u"莒\u3000光  211",
    u"東\u3000引  212",
    // 25 嘉義市: ids 366 to 366
    u"嘉義市  600",
    // 26 新竹市: ids 367 to 367
    u"新竹市  300",
    // in no place row: ids 368 to 370
    u"東\u3000沙  817",
    u"南\u3000沙  819",
    u"釣魚台  290",
};

// clang-format off
constexpr std::array<Place, kPlaceCount> kPlaces = {{
    {0, u"不指定", 0, 0, u"None", 2, 370},
    {1, u"台北市", u'A', 10, u"022", 2, 13},
    {2, u"台中市", u'B', 11, u"04", 14, 21},
    {3, u"基隆市", u'C', 12, u"022", 22, 28},
    {4, u"台南市", u'D', 13, u"06", 29, 35},
    {5, u"高雄市", u'E', 14, u"07", 36, 46},
    {6, u"台北縣", u'F', 15, u"022", 47, 75},
    {7, u"宜蘭縣", u'G', 16, u"03", 76, 87},
    {8, u"桃園縣", u'H', 17, u"03", 88, 100},
    {9, u"新竹縣", u'J', 18, u"03", 101, 113},
    {10, u"苗栗縣", u'K', 19, u"037", 114, 131},
    {11, u"台中縣", u'L', 20, u"04", 132, 152},
    {12, u"南投縣", u'M', 21, u"049", 153, 165},
    {13, u"彰化縣", u'N', 22, u"04", 166, 191},
    {14, u"雲林縣", u'P', 23, u"05", 192, 211},
    {15, u"嘉義縣", u'Q', 24, u"05", 212, 229},
    {16, u"台南縣", u'R', 25, u"06", 230, 260},
    {17, u"高雄縣", u'S', 26, u"07", 261, 287},
    {18, u"屏東縣", u'T', 27, u"08", 288, 320},
    {19, u"花蓮縣", u'U', 28, u"03", 321, 333},
    {20, u"台東縣", u'V', 29, u"089", 334, 349},
    {21, u"澎湖縣", u'X', 30, u"06", 350, 355},
    {22, u"陽明山", u'Y', 31, u"None", 0, 0},
    {23, u"金門縣", u'W', 32, u"0823", 356, 361},
    {24, u"連江縣", u'Z', 33, u"None", 362, 365},
    {25, u"嘉義市", u'I', 34, u"05", 366, 366},
    {26, u"新竹市", u'O', 35, u"03", 367, 367},
}};
// clang-format on

constexpr bool entriesAreWellFormed() {
  for (const auto entry : kPostalEntries) {
    if (entry.size() != kPostalEntryLength) return false;
    for (std::size_t i = 0; i < 3; ++i) {
      if (entry[i] < 0x3000) return false;  // three full-width characters
    }
    if (entry[1] == u'\u3000' && (entry[0] == u'\u3000' || entry[2] == u'\u3000')) return false;
    if (entry[3] != u' ' || entry[4] != u' ') return false;
    for (std::size_t i = 5; i < 8; ++i) {
      if (!isDigit(entry[i])) return false;
    }
  }
  return true;
}

constexpr int postalCode(std::u16string_view entry) {
  return (entry[5] - u'0') * 100 + (entry[6] - u'0') * 10 + (entry[7] - u'0');
}

constexpr bool postalCodesAreUnique() {
  std::array<bool, 1000> seen{};
  for (const auto entry : kPostalEntries) {
    const int code = postalCode(entry);
    if (seen[static_cast<std::size_t>(code)]) return false;
    seen[static_cast<std::size_t>(code)] = true;
  }
  return true;
}

constexpr bool rowsAreConsistent() {
  // Row 0 lists every entry; rows 1 to 26 take contiguous ascending ranges covering ids 2 to 367,
  // so ids 368 to 370 belong to row 0 alone.
  if (kPlaces[0].firstId != kFirstPostalId || kPlaces[0].lastId != kLastPostalId) return false;
  int nextId = kFirstPostalId;
  for (std::size_t i = 1; i < kPlaces.size(); ++i) {
    const Place& place = kPlaces[i];
    if (place.index != static_cast<int>(i) || place.letterValue != place.index + 9) return false;
    if (!LetterValue(place.letter) || LetterValue(place.letter)->value != place.letterValue) {
      return false;
    }
    if (place.firstId == 0) continue;
    if (place.firstId != nextId || place.lastId < place.firstId) return false;
    for (int id = place.firstId; id < place.lastId; ++id) {
      const auto here = static_cast<std::size_t>(id - kFirstPostalId);
      if (postalCode(kPostalEntries[here]) >= postalCode(kPostalEntries[here + 1])) return false;
    }
    nextId = place.lastId + 1;
  }
  return nextId == 368;
}

static_assert(entriesAreWellFormed());
static_assert(postalCodesAreUnique());
static_assert(rowsAreConsistent());

}  // namespace

std::span<const Place, kPlaceCount> Places() noexcept { return kPlaces; }

const Place* PlaceByIndex(int index) noexcept {
  if (index < 0 || index >= kPlaceCount) return nullptr;
  return &kPlaces[static_cast<std::size_t>(index)];
}

const Place* PlaceByLetterValue(int value) noexcept {
  if (value < kFirstLetterValue || value > kLastLetterValue) return nullptr;
  return PlaceByIndex(value - 9);
}

const Place* PlaceByLetter(char16_t letter) noexcept {
  const auto value = LetterValue(letter);
  return value ? PlaceByLetterValue(value->value) : nullptr;
}

std::span<const std::u16string_view> PostalEntries(const Place& place) noexcept {
  if (place.firstId == 0) return {};
  return std::span<const std::u16string_view>(kPostalEntries)
      .subspan(static_cast<std::size_t>(place.firstId - kFirstPostalId),
               static_cast<std::size_t>(place.lastId - place.firstId + 1));
}

std::u16string_view PostalEntry(int id) noexcept {
  if (id < kFirstPostalId || id > kLastPostalId) return {};
  return kPostalEntries[static_cast<std::size_t>(id - kFirstPostalId)];
}

}  // namespace rules
