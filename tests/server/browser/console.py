#!/usr/bin/python3
"""The staff console in a real browser, with the program's own tools as learners.

A copy of the sample installation is made from the data/ sources. The
program's sync uploads a learner's history, and the staff sign in, find the
learner, see the chart and the categories; publish a newer course by upload,
which the program's update then fetches; and answer a question that a
learner posted from the support page, which then shows on its FAQ page.
Every page is saved as a screenshot at desktop width, phone width and 200 %.

Run with Debian's /usr/bin/python3. Exits 77 (skipped) with a message when
chromium, chromium-driver or python3-selenium is missing.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from serving import Mismatch, Server, check, run_tool

SKIP = 77
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("SKIPPED: python3-selenium is not installed (apt install python3-selenium)")
    sys.exit(SKIP)

CHROMIUM, DRIVER = "/usr/bin/chromium", "/usr/bin/chromedriver"
VENDOR, COURSE = "nexa", "NXN-101"
STAFF, PASSWORD = "hanako", "console pass 27"
PROFILE = {"Name": "山田 <b>太郎</b>", "Org": "R&D", "Email": "taro@example.jp",
           "Serial": "TV-2701"}
QUESTION = "この問題の<b>解説</b>をもう少し詳しく教えてください。"
ANSWER = "回答：<i>OSI</i> 参照モデルの第3層を見直してください。"
# Width × height in CSS pixels and the device scale: desktop, phone, 200 %.
VIEWS = {"desktop": (1280, 900, 1), "phone": (390, 844, 1), "zoom200": (640, 450, 2)}


def make_root(tool, data, root, base):
    """The installation a learner has, from the repository's sources."""
    (root / "bin").mkdir(parents=True)
    for name in ["Tovalo20.ini", "QuesProto", "QuesProto2", "FormProto"]:
        run_tool(tool, "text", "encode", str(data / "bin" / name), str(root / "bin" / name))
    host = base.removeprefix("http://")
    addresses = {
        "His_srv": [f"{host}/sync/query.cgi", f"{host}/sync/upload.cgi",
                    f"{host}/sync/download.cgi"],
        "SRV_INFO": [host, "update/qdf.cgi", host, "update/img"],
        "CGI_URL": [f"{base}/cgi-bin/tovalo/support.cgi"],
        "urlref": [f"{base}/faq/index.cgi"],
    }
    for name, lines in addresses.items():
        (root / "bin" / name).write_bytes("".join(l + "\r\n" for l in lines).encode("ascii"))
    qdat = root / "QDAT" / VENDOR
    qdat.mkdir(parents=True)
    (root / "HIST" / VENDOR).mkdir(parents=True)
    run_tool(tool, "qdf", "pack", str(data / "qdat" / VENDOR / f"{COURSE}.txt"),
             str(qdat / f"{COURSE}.qdf"))
    run_tool(tool, "text", "encode", str(data / "qdat" / VENDOR / f"{COURSE}.ini"),
             str(qdat / f"{COURSE}.ini"))


def take_exam(tool, root, work, now, picks, views=None):
    script = work / f"exam-{now}.json"
    script.write_text(json.dumps({
        "root": str(root), "vendor": VENDOR, "course": f"{COURSE}.qdf", "count": len(picks),
        "seed": len(picks), "now": now, "elapsed": 600, "profile": PROFILE,
        "answers": [{"pick": p, "time": 20} for p in picks]}, ensure_ascii=False))
    run_tool(tool, "exam", "run", str(script), *(["--views", str(views)] if views else []))


def shoot(driver, shots, name):
    """The page at each width, whole, as PNG."""
    for view, (width, height, scale) in VIEWS.items():
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": scale, "mobile": False})
        full = driver.execute_script("return document.documentElement.scrollHeight")
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": min(max(full, height), 6000), "deviceScaleFactor": scale,
            "mobile": False})
        overflow = driver.execute_script(
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
        check(overflow <= 0, f"{name} at {view}: the page is {overflow} px wider than the window")
        driver.save_screenshot(str(shots / f"console-{name}-{view}.png"))
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def text_of(driver):
    return driver.find_element(By.TAG_NAME, "main").text


def sign_in(driver, base, shots):
    driver.get(base + "/console/learners")
    check(driver.current_url.endswith("/console/signin"), "an unsigned visit was not sent to sign in")
    shoot(driver, shots, "signin")
    # The keyboard alone: the name field has the focus, Tab to the password,
    # Enter sends.
    active = driver.switch_to.active_element
    check(active.get_attribute("id") == "name", "the sign-in page does not focus the name field")
    active.send_keys(STAFF, Keys.TAB)
    driver.switch_to.active_element.send_keys(PASSWORD, Keys.ENTER)
    WebDriverWait(driver, 15).until(lambda d: d.current_url.endswith("/console/learners"))


def find_learner(driver, base, shots):
    box = driver.find_element(By.ID, "q")
    box.send_keys("山田", Keys.ENTER)
    WebDriverWait(driver, 15).until(lambda d: "q=" in d.current_url)
    shoot(driver, shots, "learners")
    rows = driver.find_elements(By.CSS_SELECTOR, "main table tr td:first-child a")
    check(len(rows) == 1, f"the search finds {len(rows)} learners")
    check(rows[0].text == PROFILE["Name"], f"the learner is listed as {rows[0].text!r}")
    cells = [c.text for c in driver.find_elements(By.CSS_SELECTOR, "main table tr td")]
    check(cells[1:3] == [PROFILE["Email"], "1"], f"the learner's row reads {cells}")
    rows[0].click()
    WebDriverWait(driver, 15).until(lambda d: re.search(r"/console/learners/\d+$", d.current_url))
    shown = text_of(driver)
    svg = driver.find_elements(By.CSS_SELECTOR, "svg.chart[role=img]")
    check(len(svg) == 1, "the learner's page has no chart")
    check(len(svg[0].find_elements(By.TAG_NAME, "polyline")) == 2,
          "the chart lacks the rate or the time line")
    for wanted in ["判定", "カテゴリー別の正答率", "苦手なカテゴリー", COURSE,
                   "ネットワーク基礎"]:
        check(wanted in shown, f"the learner's page does not show {wanted!r}:\n{shown}")
    categories = driver.find_elements(By.CSS_SELECTOR, "section h3 + div table th[scope=row]")
    check(len(categories) >= 2, f"the category table lists {len(categories)} categories")
    shoot(driver, shots, "learner")


def publish(driver, base, server, tool, root, data, work, shots):
    source = (data / "qdat" / VENDOR / f"{COURSE}.txt").read_text(encoding="utf-8").split("\n")
    check(re.fullmatch(r"\d{14}.*", source[8]), f"line 9 of the source reads {source[8]!r}")
    source[8] = "20300101000000"
    newer = work / "upload" / f"{COURSE}.txt"
    newer.parent.mkdir()
    newer.write_text("\n".join(source), encoding="utf-8")
    driver.get(base + "/console/courses")
    driver.find_element(By.ID, "vendor").send_keys(VENDOR)
    driver.find_element(By.ID, "qdf").send_keys(str(newer))
    driver.find_element(By.CSS_SELECTOR, "form[action$=publish] button").click()
    WebDriverWait(driver, 15).until(lambda d: "msg=published" in d.current_url or
                                    d.find_elements(By.CSS_SELECTOR, ".error"))
    errors = driver.find_elements(By.CSS_SELECTOR, ".error")
    check(not errors, "publishing failed: " + (errors[0].text if errors else ""))
    check("2030/01/01 00:00" in text_of(driver), "the course list does not show the new version")
    shoot(driver, shots, "courses")
    out = json.loads(run_tool(tool, "update", str(root), VENDOR, "--yes"))
    check(any(r.startswith(COURSE) for r in out["replaced"]),
          f"the program's update did not take the new version: {out}")
    installed = subprocess.run([tool, "qdf", "header", str(root / "QDAT" / VENDOR / f"{COURSE}.qdf")],
                               capture_output=True, text=True).stdout
    check("2030" in installed, f"the installed course is not the published one: {installed}")


def answer_question(driver, base, tool, root, work, shots):
    views = work / "views"
    take_exam(tool, root, work, "2026-12-03T10:00", ["wrong"], views)
    driver.get((views / "Ques-1.htm").as_uri())
    driver.find_element(By.NAME, "question").send_keys(QUESTION)
    driver.find_element(By.CSS_SELECTOR, "input[type=submit]").click()
    WebDriverWait(driver, 15).until(lambda d: d.find_elements(By.ID, "receipt"))
    receipt = driver.find_element(By.ID, "receipt").text.strip()

    driver.get(base + "/console/inbox")
    shoot(driver, shots, "inbox")
    driver.find_element(By.LINK_TEXT, receipt).click()
    WebDriverWait(driver, 15).until(lambda d: d.current_url.endswith("/inbox/" + receipt))
    shown = text_of(driver)
    check(QUESTION in shown, f"the item does not show the question as text:\n{shown}")
    check("公開中のコースの問題文" in shown, "the item does not show the published question")
    driver.find_element(By.ID, "answer").send_keys(ANSWER)
    driver.find_element(By.CSS_SELECTOR, "form[action$=answer] button").click()
    WebDriverWait(driver, 15).until(lambda d: "msg=answered" in d.current_url)
    driver.find_element(By.CSS_SELECTOR, "form[action$=done] button").click()
    WebDriverWait(driver, 15).until(lambda d: "msg=done" in d.current_url)
    check("完了" in text_of(driver), "the item is not shown as done")
    shoot(driver, shots, "inbox-item")
    faq = json.loads((views / "answer-1.json").read_text())["Faq"]
    driver.get(faq)
    check(ANSWER in driver.find_element(By.TAG_NAME, "body").text,
          f"the FAQ page {faq} does not show the staff's answer")


def news(driver, base, shots):
    driver.get(base + "/console/news")
    driver.find_element(By.ID, "title").send_keys("メンテナンスのお知らせ")
    driver.find_element(By.ID, "text").send_keys("12月20日 22時から1時間、同期を停止します。")
    driver.find_element(By.CSS_SELECTOR, "form[action$=add] button").click()
    WebDriverWait(driver, 15).until(lambda d: "msg=news-added" in d.current_url)
    shoot(driver, shots, "news")
    driver.get(base + "/news/index.html")
    check("メンテナンスのお知らせ" in driver.find_element(By.TAG_NAME, "body").text,
          "the learners' news page does not show the notice")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", required=True, type=Path, help="the repository's data/")
    parser.add_argument("--server", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--out", required=True, type=Path, help="folder for the screenshots")
    args = parser.parse_args()
    for need, package in [(CHROMIUM, "chromium"), (DRIVER, "chromium-driver")]:
        if not os.path.exists(need):
            print(f"SKIPPED: {need} is missing (apt install {package})")
            return SKIP
    began = time.monotonic()
    args.out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="tovalo-console-") as tmp:
        work = Path(tmp)
        root = work / "root"
        server = driver = None
        try:
            server = Server(args.server, work / "data")
            base = f"http://127.0.0.1:{server.port}"
            server.admin("staff", "add", STAFF, stdin=f"{PASSWORD}\n{PASSWORD}\n")
            nexa = args.data / "qdat" / VENDOR
            server.admin("publish", VENDOR, str(nexa / f"{COURSE}.txt"), "--ini",
                         str(nexa / f"{COURSE}.ini"), "--figures", str(nexa / "img"))
            make_root(args.tool, args.data, root, base)
            take_exam(args.tool, root, work, "2026-12-01T09:05", ["correct"] * 6 + ["wrong"] * 4)
            take_exam(args.tool, root, work, "2026-12-02T20:30", ["correct"] * 8 + ["wrong"] * 2)
            profile = work / "profile.json"
            profile.write_text(json.dumps(PROFILE, ensure_ascii=False))
            run_tool(args.tool, "sync", str(root), VENDOR, "--profile", str(profile), "--yes")

            options = webdriver.ChromeOptions()
            for flag in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--window-size=1280,900", "--lang=ja"]:
                options.add_argument(flag)
            options.binary_location = CHROMIUM
            # The browser's own controls (the file choosers) in Japanese too.
            env = {**os.environ, "LANG": "ja_JP.UTF-8", "LANGUAGE": "ja"}
            driver = webdriver.Chrome(service=Service(DRIVER, env=env), options=options)
            sign_in(driver, base, args.out)
            find_learner(driver, base, args.out)
            publish(driver, base, server, args.tool, root, args.data, work, args.out)
            answer_question(driver, base, args.tool, root, work, args.out)
            news(driver, base, args.out)
        except Mismatch as e:
            print(f"FAIL: {e}", file=sys.stderr)
            if server is not None:
                print("server log (end):\n" + "".join(server.log[-20:]), file=sys.stderr)
            return 1
        finally:
            if driver is not None:
                driver.quit()
            if server is not None:
                server.stop()
    print(f"console pages used in Chromium; screenshots in {args.out} "
          f"({time.monotonic() - began:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
