#!/usr/bin/python3
"""A real browser posts the program's own pages to tovalo-server.

The support question page and the diagnosis request page are written by
tovalo-tool into a copy of the staged sample, opened from disk in headless
Chromium, filled in and sent as a learner would. What the server kept
(`admin inbox show`) must be every field the page held, exactly; the staff's
answer must then appear on the question's FAQ page, as text.

Run with Debian's /usr/bin/python3, which has python3-selenium.
"""

import argparse
import json
import re
import shutil
import sys
import tempfile
import time
from pathlib import Path

from serving import Mismatch, Server, check, run_tool

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

PROFILE = {"Name": "山田 太郎", "Org": "R&D <東京>", "Email": "taro@example.jp",
           "Serial": "TV-0042\"x'"}
VENDOR = "nexa"
# An HTML-format course: its question text reaches the page as markup.
QUESTION_COURSE = "NXA-330"
# What the learner types: markup that must stay text, and a line break.
TYPED_QUESTION = "ルーターの<b>経路</b>について質問です。A&B \"引用\" 'x'\n二行目です。"
STAFF_ANSWER = "回答：<i>経路</i>は R&D \"表\" 'p' を参照してください。"
TYPED_MESSAGE = "よろしくお願いします。<&\"'\n二行目"


def inbox_item(server, receipt):
    return json.loads(server.admin("inbox", "show", str(receipt)))


def write_address(path, address):
    path.write_bytes(address.encode("ascii") + b"\r\n")


def page_fields(driver):
    # The form's entries in tree order, as the browser will send them.
    return driver.execute_script(
        "return Array.from(new FormData(document.forms[0]), e => [e[0], e[1]]);")


def as_posted(value):
    # A browser sends every line break as CR LF; the server trims the CR LF
    # that the templates put around each value.
    return re.sub(r"\r\n|\r|\n", "\r\n", value).strip("\r\n")


def compare_fields(stored, held, what):
    """Every field as the page held it, in order; the learner's identifier
    only as the server's keyed hash, which is returned."""
    expected = [{"Name": n, "Value": as_posted(v)} for n, v in held]
    got = stored["Fields"]
    hashed = None
    for k, (e, g) in enumerate(zip(expected, got)):
        if e["Name"].lower() == "serial" and g["Name"] == e["Name"]:
            hashed = g["Value"]
            check(re.fullmatch(r"[0-9a-f]{64}", hashed),
                  f"{what}: the identifier is kept as {hashed!r}, not as its keyed hash")
            continue
        check(e == g, f"{what}: field {k + 1} kept as {g!r}, the page held {e!r}")
    check(len(expected) == len(got),
          f"{what}: {len(got)} fields kept, the page held {len(expected)}: "
          f"{[f['Name'] for f in got]} against {[n for n, _ in held]}")
    check(hashed is not None, f"{what}: no identifier field kept")
    check(not any(PROFILE["Serial"] in f["Value"] for f in got),
          f"{what}: the identifier is kept in clear")
    return hashed


def submit(driver):
    driver.find_element(By.CSS_SELECTOR, "input[type=submit]").click()
    WebDriverWait(driver, 15).until(lambda d: d.find_elements(By.ID, "receipt"))
    text = driver.find_element(By.ID, "receipt").text.strip()
    check(text.isdigit(), f"the receipt page's number reads {text!r}")
    return int(text)


def body_text(driver):
    return driver.find_element(By.TAG_NAME, "body").text


def post_question(driver, server, tool, root, work, shots):
    script = work / "exam.json"
    script.write_text(json.dumps({
        "root": str(root), "vendor": VENDOR, "course": QUESTION_COURSE + ".qdf",
        "count": 1, "seed": 7, "profile": PROFILE, "answers": [{"pick": "correct"}]},
        ensure_ascii=False))
    views = work / "views"
    run_tool(tool, "exam", "run", str(script), "--views", str(views))
    driver.get((views / "Ques-1.htm").as_uri())
    box = driver.find_element(By.NAME, "question")
    box.send_keys(TYPED_QUESTION)
    check(box.get_property("value") == TYPED_QUESTION,
          f"the question box holds {box.get_property('value')!r} after typing")
    held = page_fields(driver)
    receipt = submit(driver)
    driver.save_screenshot(str(shots / "question-receipt.png"))

    item = inbox_item(server, receipt)
    quesnum = int(as_posted(dict(held)["quesnum"]))
    check((item["Receipt"], item["Kind"], item["TestID"], item["QuesNum"]) ==
          (receipt, "question", QUESTION_COURSE, quesnum),
          f"question kept as {item['Receipt']} {item['Kind']} {item['TestID']} "
          f"{item['QuesNum']}, expected {receipt} question {QUESTION_COURSE} {quesnum}")
    learner = compare_fields(item, held, "question")

    server.admin("inbox", "answer", str(receipt), STAFF_ANSWER)
    answers = inbox_item(server, receipt)["Answers"]
    check([a["Text"] for a in answers] == [STAFF_ANSWER], f"answers kept as {answers!r}")
    # The FAQ address exactly as the program's answer view links it.
    faq = json.loads((views / "answer-1.json").read_text())["Faq"]
    check(f":{server.port}/" in faq, f"the answer view links {faq}, not this server")
    driver.get(faq)
    shown = body_text(driver)
    driver.save_screenshot(str(shots / "faq.png"))
    for text in [STAFF_ANSWER, *TYPED_QUESTION.split("\n")]:
        check(text in shown, f"the FAQ page {faq} does not show {text!r} as text:\n{shown}")
    return learner


def post_diagnosis(driver, server, tool, root, work, shots, learner):
    profile = work / "profile.json"
    profile.write_text(json.dumps(PROFILE, ensure_ascii=False))
    form = work / "Form.htm"
    run_tool(tool, "report", "form", str(root), VENDOR, str(form), "--profile", str(profile))
    driver.get(form.as_uri())
    select = Select(driver.find_element(By.NAME, "TEST"))
    courses = [o.text for o in select.options[1:]]
    check(len(courses) >= 2, f"the course list offers {courses}")
    chosen = next((c for c in courses if c.startswith(QUESTION_COURSE + " : ")), None)
    check(chosen is not None, f"the course list does not offer {QUESTION_COURSE}: {courses}")
    select.select_by_visible_text(chosen)
    driver.find_element(By.NAME, "MESSAGE").send_keys(TYPED_MESSAGE)
    held = page_fields(driver)
    receipt = submit(driver)
    shown = body_text(driver)
    driver.save_screenshot(str(shots / "diagnosis-receipt.png"))
    for name in [chosen, *(c.split(" : ")[0] for c in courses)]:
        check(name in shown, f"the advice does not name {name}:\n{shown}")

    item = inbox_item(server, receipt)
    check((item["Receipt"], item["Kind"], item["TestID"]) ==
          (receipt, "diagnosis", QUESTION_COURSE),
          f"diagnosis kept as {item['Receipt']} {item['Kind']} {item['TestID']}")
    check(compare_fields(item, held, "diagnosis") == learner,
          "the same learner's identifier is kept as another hash in the diagnosis request")
    # Every course's history went along, not only the chosen one's.
    kept = {f["Name"]: f["Value"] for f in item["Fields"]}
    for course in courses:
        code = course.split(" : ")[0]
        check(kept.get(code, "").startswith("■過去10回の履歴"),
              f"no history field for {code}: {sorted(kept)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--root", required=True, type=Path, help="the staged sample")
    parser.add_argument("--server", required=True, help="tovalo-server")
    parser.add_argument("--tool", required=True, help="tovalo-tool")
    parser.add_argument("--out", required=True, type=Path, help="folder for the screenshots")
    args = parser.parse_args()
    began = time.monotonic()
    args.out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="tovalo-browser-") as tmp:
        work = Path(tmp)
        root = work / "root"
        # The sample's files; its programs stay where they were built.
        shutil.copytree(args.root, root, ignore=lambda d, names: [
            n for n in names if n.startswith("tovalo") and not Path(d, n).is_dir()])
        server = driver = None
        try:
            server = Server(args.server, work / "data")
            base = f"http://127.0.0.1:{server.port}"
            write_address(root / "bin/CGI_URL", base + "/cgi-bin/tovalo/support.cgi")
            write_address(root / "bin/urlref", base + "/faq/index.cgi")
            options = webdriver.ChromeOptions()
            for flag in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--window-size=1000,900"]:
                options.add_argument(flag)
            options.binary_location = "/usr/bin/chromium"
            driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
            learner = post_question(driver, server, args.tool, root, work, args.out)
            post_diagnosis(driver, server, args.tool, root, work, args.out, learner)
            server.stop()
        except Mismatch as e:
            print(f"FAIL: {e}", file=sys.stderr)
            if server is not None:
                print("server log (end):\n" + "".join(server.log[-20:]), file=sys.stderr)
            return 1
        finally:
            if driver is not None:
                driver.quit()
            if server is not None and server.proc.poll() is None:
                server.proc.kill()
    print(f"both forms posted and kept exactly; screenshots in {args.out} "
          f"({time.monotonic() - began:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
