"""The entry list: what a header click does to the order on screen."""

from harness import MAIN_TITLE, BrisvaneTestCase, click

ENTRIES = [("carol", "Zeta", "www.carol.org"),
           ("alice", "beta", "home/alice"),
           ("Bob", "alpha", "ftp.bob.net"),
           ("dave", "Gamma", "")]


def column(rows, index):
    return [row[index] for row in rows]


class EntryListTest(BrisvaneTestCase):

    def test_headerClicks_sortIgnoringCase_flipDirectionAtEveryClick(self):
        program = self.unlocked("master key", ENTRIES)
        data = self.vault.read_bytes()
        self.assertEqual(program.rows(), [list(e) for e in ENTRIES])
        program.select_row(0)  # carol

        # Upper-case letters sort among the lower-case ones, not before them.
        steps = [("Username", 0, ["alice", "Bob", "carol", "dave"]),
                 ("Username", 0, ["dave", "carol", "Bob", "alice"]),
                 # A new column starts opposite to the direction just used: ascending again here.
                 ("Password", 1, ["alpha", "beta", "Gamma", "Zeta"]),
                 ("Website/Location", 2, ["www.carol.org", "home/alice", "ftp.bob.net", ""]),
                 ("Website/Location", 2, ["", "ftp.bob.net", "home/alice", "www.carol.org"])]
        for header, index, expected in steps:
            with self.subTest(click=header, expected=expected):
                click(program.column_header(header))
                rows = program.wait_rows(lambda rows: column(rows, index) == expected, f"{header} order {expected}")
                # Rows move whole: every field stays with its entry, and the selection stays with carol.
                self.assertEqual(sorted(map(tuple, rows)), sorted(ENTRIES))
                self.assertEqual([rows[r][0] for r in program.selected_rows()], ["carol"])
        click(program.button(MAIN_TITLE, "Copy Username"))
        program.wait_status("Copied Username carol")
        self.assertEqual(self.vault.read_bytes(), data, "sorting alone saves nothing")
