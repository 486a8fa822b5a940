#include "birth/place_file.h"

#include <system_error>

namespace paipan {
namespace {

// The rows of table places that `where` selects (with ?1 bound to `params`'
// first when it has one), in the file's order.
std::vector<PlaceRow> SelectPlaces(const std::filesystem::path& file, const std::string& where,
                                   const std::vector<std::string>& params) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw DataError("找不到地名数据文件 " + DataFileName(file) + "（" + file.string() +
                        "），请把它放回程序所在的文件夹。");
    }
    const std::string sql =
        "SELECT name, aliases, longitude_e6, latitude_e6, zone, level, approximate "
        "FROM places " +
        where + " ORDER BY id";
    std::vector<PlaceRow> rows;
    ForEachRow(file, sql, params, [&](const DataRowReader& c) {
        PlaceRow r{c.Text(0),       c.Text(1), c.Number(2), c.Number(3), c.Text(4), static_cast<int>(c.Number(5)),
                   c.Number(6) != 0};
        if (r.name.empty() || r.zone.empty()) ThrowUnreadable(file);
        rows.push_back(std::move(r));
    });
    return rows;
}

}  // namespace

std::vector<PlaceRow> ReadPlaces(const std::filesystem::path& file) { return SelectPlaces(file, "", {}); }

std::vector<PlaceRow> ReadPlacesNamed(const std::filesystem::path& file, const std::string& text) {
    if (text.empty() || text.find('|') != std::string::npos) return {};
    return SelectPlaces(file, "WHERE id IN (SELECT id FROM place_names WHERE name = ?1)", {text});
}

}  // namespace paipan
