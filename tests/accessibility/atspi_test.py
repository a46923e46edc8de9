"""The window driven as a screen reader or a voice-control tool drives it: over the
accessibility bus (AT-SPI), on a real X display. Run by private_session.sh, which gives
it a display and buses of its own:

    private_session.sh /usr/bin/python3 atspi_test.py PATH/TO/vessane

Each test starts the window afresh, finds its controls by role and accessible name, acts
through the bus (actions, editable text, selection, value) or the keyboard (xdotool), and
reads the result back through the bus.
"""

import os
import subprocess
import sys
import time
import unittest
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

PROGRAM = None  # set from the command line
WAIT = 30.0  # seconds for the window to show a change before a check fails: a bound for a hang

RESULT = ("text", "Risque absolu du sujet")
BAR = ("progress bar", "Risque, de faible à fort")
ABOUT = ("dialog", "A propos de Vessane")

# Every control of the main window but the hidden button and the selectors' lists: role,
# name and description as a screen reader reads them.
CONTROLS = [
    ("combo box", "Homme", "Sexe"),
    ("text", "Age", "[30-74]"),
    ("text", "Systolique", "[80-250]"),
    ("text", "Diastolique", "[30-160]"),
    ("text", "Cholestérol Total", "[0.78-4.68]"),
    ("text", "HDL chol", "[0.12-1.95]"),
    ("check box", "Fumeur", ""),
    ("check box", "Diabète", ""),
    ("check box", "HVG", ""),
    ("text", "Risque absolu du sujet à (ans)", "[2-10]"),
    ("text", "Risque absolu du sujet", ""),
    ("combo box", "g/L", "Unité du cholestérol"),
    ("progress bar", "Risque, de faible à fort", ""),
    ("panel", "T.A (mm Hg)", ""),
    ("panel", "Cholestérol", ""),
    ("panel", "Risque de maladie coronarienne", ""),
    ("label", "Age", ""),
    ("label", "Systolique", ""),
    ("label", "Diastolique", ""),
    ("label", "Total", ""),
    ("label", "HDL chol", ""),
    ("label", "ans", ""),
    ("label", "Risque absolu du sujet à :", ""),
    ("label", "[80-250]", ""),
    ("label", "[30-160]", ""),
    ("label", "[0.78-4.68]", ""),
    ("label", "[0.12-1.95]", ""),
    ("label", "[30-74]", ""),
    ("label", "[2-10]", ""),
    ("label", "ans", ""),
    ("label", "Faible", ""),
    ("label", "Fort", ""),
]


def walk(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def states(node):
    return {state.value_nick for state in node.get_state_set().get_states()}


def action_names(node):
    if "Action" not in node.get_interfaces():
        return []
    with warnings.catch_warnings():
        # Deprecated for a get_name that this version of the library does not have yet.
        warnings.simplefilter("ignore", DeprecationWarning)
        return [node.get_action_name(i) for i in range(node.get_n_actions())]


def do_action(node, name):
    names = action_names(node)
    if name not in names:
        raise AssertionError(f"{node.get_name()!r} offers no {name!r} action: {names}")
    return node.do_action(names.index(name))


def wait_until(condition, timeout=WAIT):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > end:
            return value
        time.sleep(0.05)


class Window:
    """One run of the program, reached over the accessibility bus."""

    def __init__(self):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8")
        self.process = subprocess.Popen([PROGRAM], env=env)
        self.app = wait_until(self._find_app, 15.0)
        if self.app is None:
            self.close()
            raise AssertionError("the window never appeared on the accessibility bus")
        self.main = wait_until(lambda: self.top_level(("dialog", "Vessane")), 15.0)
        if self.main is None or wait_until(lambda: self.text(RESULT) == "10.3 %") is False:
            self.close()
            raise AssertionError("the window did not open on its default form")

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def top_level(self, key):
        self.app.clear_cache()
        for i in range(self.app.get_child_count()):
            try:
                window = self.app.get_child_at_index(i)
                if window is not None and (window.get_role_name(), window.get_name()) == key:
                    return window
            except GLib.Error:
                continue  # a window closing while it is listed is no longer there
        return None

    def find(self, key, under=None):
        for node in walk(under or self.main):
            if (node.get_role_name(), node.get_name()) == key:
                return node
        raise AssertionError(f"no {key} in the window")

    def field(self, name):
        return self.find(("text", name))

    def text(self, key):
        node = self.find(key)
        return node.get_text(0, node.get_character_count())

    def bar(self):
        return self.find(BAR).get_current_value()

    def shows(self, result, bar=None):
        """Whether the result field (and the bar) come to show these, within WAIT."""
        return wait_until(
            lambda: self.text(RESULT) == result and (bar is None or self.bar() == bar)
        )

    def selector(self, description):
        for node in walk(self.main):
            if node.get_role_name() == "combo box" and node.get_description() == description:
                return node
        raise AssertionError(f"no selector {description!r}")

    def focus(self):
        """Gives the main window the keyboard, as a click on its title would."""
        window = subprocess.run(
            ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(self.process.pid),
             "--name", "^Vessane$"],
            check=True, capture_output=True, text=True, timeout=WAIT,
        ).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=WAIT)

    @staticmethod
    def keys(*keys):
        """Types keys, through the X server as a keyboard would, to the window that has
        the keyboard. The window reads them in order: a menu that a key opens has the
        next one."""
        for key in keys:
            subprocess.run(["xdotool", "key", key], check=True, timeout=WAIT)


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.window = Window()
        self.addCleanup(self.window.close)

    def test_every_control_has_its_role_name_and_description(self):
        client = self.window.find(("filler", ""))
        seen = [(node.get_role_name(), node.get_name(), node.get_description())
                for node in walk(client)
                if node is not client and node.get_role_name() not in ("list", "list item",
                                                                       "push button")]
        self.assertEqual(sorted(seen), sorted(CONTROLS))
        for selector, items in [("Sexe", ["Femme", "Homme"]),
                                ("Unité du cholestérol", ["mmol/L", "g/L"])]:
            listed = [node.get_name() for node in walk(self.window.selector(selector))
                      if node.get_role_name() == "list item"]
            self.assertEqual(listed, items)
        options = self.window.find(("menu item", "Options"))
        items = [(node.get_role_name(), node.get_name()) for node in walk(options)]
        self.assertEqual(items, [("menu item", "Options"), ("popup menu", ""),
                                 ("menu item", "Infos"), ("separator", ""),
                                 ("menu item", "Quitter")])

    def test_ticking_a_box_through_its_action_recomputes(self):
        for box, result, bar in [("Fumeur", "16.2 %", 16), ("Diabète", "13.9 %", 13),
                                 ("HVG", "27.1 %", 27)]:
            with self.subTest(box=box):
                node = self.window.find(("check box", box))
                do_action(node, "Toggle")
                self.assertTrue(self.window.shows(result, bar), self.window.text(RESULT))
                self.assertIn("checked", states(node))
                do_action(node, "Toggle")  # unticked, the default form again
                self.assertTrue(self.window.shows("10.3 %", 10), self.window.text(RESULT))
                self.assertNotIn("checked", states(node))

    def test_picking_a_sex_through_the_list_recomputes(self):
        sex = self.window.selector("Sexe")
        # An item's own action, as a voice-control tool would say "Femme".
        do_action(self.window.find(("list item", "Femme"), sex), "Toggle")
        self.assertTrue(self.window.shows("6.9 %", 6), self.window.text(RESULT))
        self.assertEqual(sex.get_name(), "Femme")
        # The list's row selection, with the list open as a click would have opened it.
        do_action(sex, "Press")
        self.assertTrue(wait_until(lambda: "expanded" in states(sex)))
        sex.get_child_at_index(0).add_row_selection(1)
        self.assertTrue(self.window.shows("10.3 %", 10), self.window.text(RESULT))
        self.assertEqual(sex.get_name(), "Homme")
        self.assertTrue(wait_until(lambda: "expanded" not in states(sex)))  # closed, as a click

    def test_switching_the_unit_through_the_list_converts_and_keeps_the_result(self):
        unit = self.window.selector("Unité du cholestérol")
        total, hdl = self.window.field("Cholestérol Total"), self.window.field("HDL chol")
        do_action(self.window.find(("list item", "mmol/L"), unit), "Toggle")
        self.assertTrue(wait_until(lambda: total.get_text(0, -1) == "5.93"), total.get_text(0, -1))
        self.assertEqual(hdl.get_text(0, -1), "1.29")
        self.assertEqual((total.get_description(), hdl.get_description()), ("[2-12]", "[0.3-5]"))
        self.assertEqual(unit.get_name(), "mmol/L")
        self.assertEqual((self.window.text(RESULT), self.window.bar()), ("10.3 %", 10.0))

        do_action(self.window.find(("list item", "g/L"), unit), "Toggle")
        self.assertTrue(wait_until(lambda: total.get_text(0, -1) == "2.30"), total.get_text(0, -1))
        self.assertEqual(hdl.get_text(0, -1), "0.50")
        self.assertEqual(self.window.text(RESULT), "10.3 %")

    def test_typing_through_editable_text_recomputes(self):
        age = self.window.field("Age")
        for edit, text, result in [
            (lambda: age.set_text_contents("60"), "60", "16.1 %"),
            (lambda: age.insert_text(2, "1", 1), "601", "ERREUR"),
            (lambda: age.delete_text(2, 3), "60", "16.1 %"),
            (lambda: age.insert_text(0, "x", 1), "60", "16.1 %"),  # digits only
            (lambda: age.delete_text(0, 2), "", "ERREUR"),
            (lambda: age.insert_text(0, "50", 2), "50", "10.3 %"),
        ]:
            edit()
            with self.subTest(text=text):
                self.assertTrue(self.window.shows(result), self.window.text(RESULT))
                self.assertEqual(age.get_text(0, -1), text)
        total = self.window.field("Cholestérol Total")
        total.set_text_contents("2.60")
        self.assertTrue(self.window.shows("12 %", 12), self.window.text(RESULT))

    def test_erreur_disables_the_bar_and_says_why(self):
        age, bar, result = self.window.field("Age"), self.window.find(BAR), self.window.find(RESULT)
        for text, shown, reason in [("29", "ERREUR", "âge hors de l'intervalle [30-74] ans"),
                                    ("", "ERREUR", "âge : valeur manquante"),
                                    ("50", "10.3 %", "")]:
            with self.subTest(text=text):
                age.set_text_contents(text)
                self.assertTrue(self.window.shows(shown), self.window.text(RESULT))
                self.assertTrue(wait_until(lambda: result.get_description() == reason),
                                result.get_description())
                self.assertEqual("enabled" in states(bar), shown != "ERREUR")
                self.assertEqual(bar.get_current_value(), 10.0)  # it keeps its place

    def test_the_result_field_cannot_be_edited(self):
        result = self.window.find(RESULT)
        self.assertNotIn("EditableText", result.get_interfaces())
        self.assertIn("read-only", states(result))
        self.assertNotIn("editable", states(result))
        # Asked anyway, as a client that did not look first might.
        for edit in (lambda: Atspi.EditableText.set_text_contents(result, "0.1 %"),
                     lambda: Atspi.EditableText.insert_text(result, 0, "9", 1),
                     lambda: Atspi.EditableText.delete_text(result, 0, 2)):
            try:
                edit()
            except GLib.Error:
                pass
        self.assertEqual(self.window.text(RESULT), "10.3 %")

    def test_the_bar_value_cannot_be_set(self):
        bar = self.window.find(BAR)
        bar.set_current_value(50.0)
        for action in action_names(bar):
            if action in ("Increase", "Decrease"):
                do_action(bar, action)
        # A menu press is posted after the requests above: once the box it opens shows,
        # they have all been handled.
        do_action(self.window.find(("menu item", "Infos")), "Press")
        about = wait_until(lambda: self.window.top_level(ABOUT))
        self.assertTrue(about)
        self.assertEqual(bar.get_current_value(), 10.0)
        self.assertEqual(self.window.text(RESULT), "10.3 %")
        do_action(self.window.find(("push button", "OK"), about), "Press")
        self.assertTrue(wait_until(lambda: not self.window.top_level(ABOUT)))

    def test_the_hidden_calcul_button_offers_nothing(self):
        hidden = [node for node in walk(self.window.main) if node.get_role_name() == "push button"]
        self.assertEqual(len(hidden), 1)
        self.assertEqual(action_names(hidden[0]), [])
        self.assertFalse(states(hidden[0]) & {"visible", "showing", "focusable"})

    def test_about_box_opens_from_the_keyboard_and_closes(self):
        self.window.focus()
        # The context menu (Shift+F10), its one item by its mnemonic, then Escape.
        self.window.keys("shift+F10", "a")
        about = wait_until(lambda: self.window.top_level(ABOUT))
        self.assertTrue(about)
        self.assertTrue(wait_until(lambda: "active" in states(about)))  # has the keyboard
        self.window.keys("Escape")
        self.assertTrue(wait_until(lambda: not self.window.top_level(ABOUT)))
        # Options -> Infos by their mnemonics, then OK pressed over the bus. With no window
        # manager to hand the keyboard back, the window is given it again.
        self.window.focus()
        self.window.keys("alt+o", "i")
        about = wait_until(lambda: self.window.top_level(ABOUT))
        self.assertTrue(about)
        do_action(self.window.find(("push button", "OK"), about), "Press")
        self.assertTrue(wait_until(lambda: not self.window.top_level(ABOUT)))
        self.assertIsNone(self.window.process.poll())

    def test_menu_items_pressed_over_the_bus(self):
        options = self.window.find(("menu item", "Options"))
        do_action(options, "ShowMenu")  # as a click on the menu bar
        menu = self.window.find(("popup menu", ""), options)
        self.assertTrue(wait_until(lambda: "showing" in states(menu)))
        # The press is answered at once; the modal box opens after it.
        started = time.monotonic()
        do_action(self.window.find(("menu item", "Infos")), "Press")
        self.assertLess(time.monotonic() - started, WAIT)
        about = wait_until(lambda: self.window.top_level(ABOUT))
        self.assertTrue(about)
        do_action(self.window.find(("push button", "OK"), about), "Press")
        self.assertTrue(wait_until(lambda: not self.window.top_level(ABOUT)))

        do_action(self.window.find(("menu item", "Quitter")), "Press")
        self.assertEqual(self.window.process.wait(WAIT), 0)

    def test_the_main_window_is_out_of_reach_while_the_about_box_is_open(self):
        # As for the mouse and the keyboard: the About box must be closed first.
        do_action(self.window.find(("menu item", "Infos")), "Press")
        about = wait_until(lambda: self.window.top_level(ABOUT))
        self.assertTrue(about)
        smoker = self.window.find(("check box", "Fumeur"))
        sex = self.window.selector("Sexe")
        do_action(smoker, "Toggle")
        self.window.field("Age").set_text_contents("60")
        do_action(self.window.find(("list item", "Femme"), sex), "Toggle")
        do_action(sex, "Press")
        do_action(self.window.find(("menu item", "Infos")), "Press")
        do_action(self.window.find(("menu item", "Quitter")), "Press")
        # The OK's press is posted after all of these: once the box has closed, each of
        # them has been handled (or refused), and a second box or a quit would show.
        do_action(self.window.find(("push button", "OK"), about), "Press")
        self.assertTrue(wait_until(lambda: not self.window.top_level(ABOUT)))
        windows = [self.window.app.get_child_at_index(i).get_name()
                   for i in range(self.window.app.get_child_count())]
        self.assertEqual(windows.count(ABOUT[1]), 0)
        self.assertNotIn("expanded", states(sex))
        self.assertNotIn("checked", states(smoker))
        self.assertEqual(self.window.text(("text", "Age")), "50")
        self.assertEqual(sex.get_name(), "Homme")
        self.assertEqual(self.window.text(RESULT), "10.3 %")
        self.assertIsNone(self.window.process.poll())
        do_action(smoker, "Toggle")
        self.assertTrue(self.window.shows("16.2 %", 16), self.window.text(RESULT))
        do_action(self.window.find(("list item", "Femme"), sex), "Toggle")
        self.assertEqual(wait_until(lambda: sex.get_name() == "Femme"), True)


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    Atspi.init()
    # A loaded machine may answer slowly; a window that does not answer at all fails.
    Atspi.set_timeout(int(2 * WAIT * 1000), 15000)
    unittest.main(verbosity=2)
