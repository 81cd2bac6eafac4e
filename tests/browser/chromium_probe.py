"""Loads pages in headless Chromium over its DevTools pipe and prints, per page, one JSON record:
the url, document.characterSet, the head's link tags (rel, resolved href, marked as ours), the
installability errors (http pages) and the icon Chromium stored for the page in its profile's
favicon database, read after a clean close.
Usage: chromium_probe.py CHROMIUM PROFILE_DIR URL...
"""
import json
import os
import sqlite3
import subprocess
import sys
import time

chromium, profile, urls = sys.argv[1], sys.argv[2], sys.argv[3:]
to_chromium_read, to_chromium = os.pipe()
from_chromium, from_chromium_write = os.pipe()


def child_fds():
    # The DevTools pipe is fd 3 (commands) and fd 4 (answers).
    commands, answers_end = os.dup(to_chromium_read), os.dup(from_chromium_write)
    os.dup2(commands, 3)
    os.dup2(answers_end, 4)


browser = subprocess.Popen(
    [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
     "--disable-background-networking", "--disable-component-update", "--disable-sync",
     "--remote-debugging-pipe", "--user-data-dir=" + profile, "about:blank"],
    close_fds=False, preexec_fn=child_fds,
    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
os.close(to_chromium_read)
os.close(from_chromium_write)
answers = os.fdopen(from_chromium, "rb", buffering=0)
pending = b""
next_id = 0
events = []


def read_message(deadline):
    global pending
    while b"\0" not in pending:
        if time.time() > deadline:
            raise TimeoutError("chromium did not answer")
        chunk = answers.read(65536)
        if not chunk:
            raise EOFError("chromium closed its pipe")
        pending += chunk
    message, pending = pending.split(b"\0", 1)
    return json.loads(message)


def send(method, params=None, session=None, wait=True):
    global next_id
    next_id += 1
    command = {"id": next_id, "method": method, "params": params or {}}
    if session:
        command["sessionId"] = session
    os.write(to_chromium, json.dumps(command).encode() + b"\0")
    if not wait:
        return None
    deadline = time.time() + 30
    while True:
        message = read_message(deadline)
        if message.get("id") == next_id:
            if "error" in message:
                raise RuntimeError("%s: %s" % (method, message["error"]))
            return message.get("result", {})
        events.append(message)


def wait_for(method, session, seconds):
    deadline = time.time() + seconds
    while True:
        for i, event in enumerate(events):
            if event.get("method") == method and event.get("sessionId") == session:
                return events.pop(i)
        events.append(read_message(deadline))


records = []
for url in urls:
    target = send("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
    send("Page.enable", session=session)
    send("Page.navigate", {"url": url}, session=session)
    wait_for("Page.loadEventFired", session, 30)
    time.sleep(1.5)  # the icon is fetched and stored after the load
    page = send("Runtime.evaluate", {"returnByValue": True, "expression": """({
        charset: document.characterSet,
        links: Array.from(document.head.querySelectorAll("link")).map(link => ({
            rel: link.rel, href: link.href, ours: link.hasAttribute("data-tervando")}))})"""},
                session=session)["result"]["value"]
    record = {"url": url, "charset": page["charset"], "links": page["links"]}
    if url.startswith("http"):
        errors = send("Page.getInstallabilityErrors", session=session)["installabilityErrors"]
        record["installability"] = [error["errorId"] for error in errors]
    records.append(record)
    send("Target.closeTarget", {"targetId": target})

send("Browser.close", wait=False)
try:
    browser.wait(30)
except subprocess.TimeoutExpired:
    browser.kill()
    browser.wait()

database = sqlite3.connect(os.path.join(profile, "Default", "Favicons"))
for record in records:
    row = database.execute(
        "SELECT favicons.url FROM icon_mapping JOIN favicons ON favicons.id = icon_mapping.icon_id "
        "WHERE icon_mapping.page_url = ? AND favicons.icon_type = 1", (record["url"],)).fetchone()
    record["icon"] = row[0] if row else None
    print(json.dumps(record))
