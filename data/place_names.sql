-- Every name a place answers to (its full name and each short name) with the
-- place's id, so that one name is looked up without reading every place.
CREATE TABLE place_names (name TEXT NOT NULL, id INTEGER NOT NULL, PRIMARY KEY (name, id)) WITHOUT ROWID;
INSERT INTO place_names
WITH RECURSIVE split(id, rest, word) AS (
    SELECT id, aliases || '|', name FROM places
    UNION ALL
    SELECT id, substr(rest, instr(rest, '|') + 1), substr(rest, 1, instr(rest, '|') - 1) FROM split WHERE rest <> ''
)
SELECT DISTINCT word, id FROM split WHERE word <> '';
