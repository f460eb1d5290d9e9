#!/usr/bin/python3
"""The live device's page in a real browser: headless Chromium, driven by
Selenium through Debian's chromedriver, on `dayglass serve` over a copy of the
sample device. It opens the page with its token, wakes the lock screen, changes
a setting in the pane and sees the list drawn anew, pulls a row past the
threshold and sees the calendar open, and turns the device to landscape.

    live_page_test.py DAYGLASS SAMPLE_DEVICE EXAMPLE_PREFERENCES
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

DAYGLASS, SAMPLE_DEVICE, EXAMPLE_PREFERENCES = sys.argv[1:4]
PREFERENCES = "private/var/mobile/Library/Preferences"


def chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # Headless as root, with nothing that reaches for the network.
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", "--window-size=1400,1100", "--user-data-dir=" + profile):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class LivePage(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="dayglass-browser-")
        root = os.path.join(self.folder, "device")
        shutil.copytree(SAMPLE_DEVICE, root, symlinks=True)
        shutil.rmtree(os.path.join(root, PREFERENCES))
        shutil.copytree(EXAMPLE_PREFERENCES, os.path.join(root, PREFERENCES))
        self.server = subprocess.Popen(
            [DAYGLASS, "serve", "--port", "0", "--root", root, "--now", "2026-03-05T09:41", "--tz", "Europe/Berlin"],
            stdout=subprocess.PIPE, text=True, env=dict(os.environ, XDG_RUNTIME_DIR=self.folder))
        self.address = self.server.stdout.readline().strip()
        self.browser = chromium(os.path.join(self.folder, "profile"))

    def tearDown(self):
        self.browser.quit()
        self.server.send_signal(signal.SIGTERM)
        self.assertEqual(self.server.wait(timeout=30), 0, "the server did not end cleanly")
        self.server.stdout.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def wait_for(self, condition, what):
        return WebDriverWait(self.browser, 20, poll_frequency=0.05).until(lambda _: condition(), what)

    def fetch_json(self, path):
        script = "const done = arguments[0]; fetch(%s).then((r) => r.json()).then(done);" % json.dumps(path)
        return self.browser.execute_async_script(script)

    def state(self):
        return self.fetch_json("/api/state")

    def screen(self):
        return self.browser.find_element(By.ID, "screen")

    def picture(self):
        return self.screen().screenshot_as_png

    def click(self, control_id):
        """Clicks the button with the id, or the button of the control with it."""
        control = self.browser.find_element(By.ID, control_id)
        if control.tag_name == "form":
            control = control.find_element(By.TAG_NAME, "button")
        control.click()

    def shown(self, version):
        """Waits until the page shows the screen of this version or a later one."""
        self.wait_for(lambda: int(self.screen().get_attribute("data-version") or 0) >= version,
                      "the page shows the screen of version %d" % version)

    def test_a_new_user_touches_the_lock_screen(self):
        self.assertTrue(self.address.startswith("http://127.0.0.1:"), self.address)
        self.browser.get(self.address)
        self.assertNotIn("token=", self.browser.current_url, "the token stays in the address bar")
        self.wait_for(lambda: (self.screen().get_attribute("src") or "").startswith("blob:"), "the screen is drawn")

        self.click("home")
        self.wait_for(lambda: self.state()["list"] == "own page", "the lock screen shows the list")
        self.shown(self.state_version())
        before = self.picture()

        # The pane's red background, then a new list: the home button unlocks,
        # the side button locks, and the home button wakes the lock screen again.
        self.browser.find_element(By.CSS_SELECTOR, "input[name='backgroundColor'][value='0']").find_element(
            By.XPATH, "..").click()
        self.wait_for(lambda: self.setting("backgroundColor") == 0, "the pane stored the setting")
        self.click("home")
        self.wait_for(lambda: not self.state()["locked"], "the device unlocks")
        self.click("sleep-wake")
        self.wait_for(lambda: self.state()["screen"] == "off", "the screen goes dark")
        self.click("home")
        self.wait_for(lambda: self.state()["list"] == "own page", "a new list is built")
        self.shown(self.state_version())
        self.assertTrue(self.picture() != before, "the picture did not change with the setting")

        # A row pulled well past 80 points opens its event in the calendar.
        self.pull_first_row(120)
        self.wait_for(lambda: self.state()["foreground"] == "com.apple.mobilecal", "the calendar opens")
        self.wait_for(lambda: "com.apple.mobilecal" in self.browser.find_element(By.ID, "in-front").text,
                      "the page says what is in front")
        self.wait_for(lambda: "x-apple-calevent://" in self.browser.find_element(By.ID, "launches").text,
                      "the launch panel names the link")

        self.click("sleep-wake")
        self.click("home")
        self.wait_for(lambda: self.state()["screen"] == "on", "the screen wakes")
        self.click("rotate")
        self.wait_for(lambda: self.state()["orientation"] == "landscape", "the device turns")
        self.wait_for(lambda: "landscape" in self.browser.find_element(By.ID, "device").get_attribute("class"),
                      "the page turns the device")
        self.shown(self.state_version())
        width, height = self.screen().size["width"], self.screen().size["height"]
        self.assertGreater(width, height)

        # A page left open on a server started anew holds a stale token: it says what to do.
        self.browser.add_cookie({"name": "dayglass_token", "value": "0" * 32, "path": "/"})
        self.click("rotate")
        self.wait_for(lambda: "open the address dayglass serve printed" in self.browser.find_element(By.ID, "status").text,
                      "the page says how to reach the device again")

    def state_version(self):
        return self.browser.execute_async_script(
            "const done = arguments[0];"
            "fetch('/api/screen.png').then((r) => done(Number(r.headers.get('X-Screen-Version'))));")

    def setting(self, key):
        for group in self.fetch_json("/api/settings")["groups"]:
            for setting in group["settings"]:
                if setting["key"] == key:
                    return setting["value"]
        return None

    def pull_first_row(self, distance):
        layout = self.fetch_json("/api/layout")
        row = first_row(layout["screen"])
        self.assertIsNotNone(row, "the layout shows no row")
        x, y, width, height = row["pictureFrame"]
        screen = self.screen()
        scale = screen.size["width"] / layout["size"][0]
        start_x = (x + 20) * scale - screen.size["width"] / 2
        start_y = (y + height / 2) * scale - screen.size["height"] / 2
        actions = ActionChains(self.browser, duration=50)
        actions.move_to_element_with_offset(screen, int(start_x), int(start_y)).click_and_hold()
        for _ in range(6):
            actions.move_by_offset(int(distance * scale / 6), 0)
        actions.release().perform()


def first_row(view, in_cell=False):
    """The first row's scroll view of the event list: the first in a cell."""
    if in_cell and view.get("class") == "UIScrollView":
        return view
    for subview in view.get("subviews", []):
        found = first_row(subview, in_cell or view.get("class") == "DGLTableViewCell")
        if found:
            return found
    return None


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
