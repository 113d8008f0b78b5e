#!/usr/bin/python3
"""The maker's web console in a real browser (headless Chromium driven by Selenium).

Usage: console_browser_test.py SERVER_BINARY [--postgres]

Starts two yanzhou-server processes on one database (with --postgres: a PostgreSQL database on a
PostgreSQL of the test's own, consoles over HTTPS with a certificate made for the test; otherwise
one SQLite file, consoles over plain HTTP on loopback), works the console of the first in the
browser and reads the program's answers from the second:
  - over HTTPS the session cookie is Secure and answers carry Strict-Transport-Security;
  - a request without a session, or with a wrong CSRF token, changes nothing;
  - sign in, delete a work: gone from the showcase answer /cxzp.asp;
  - a link GBK cannot hold is refused with a message and nothing is stored;
  - set the announcement (picture, link, shown): /lszbgg.asp?id=1 and the picture change;
  - a web page behind a GIF header, and a javascript: link, are refused and change nothing;
  - mark a feedback as read; set the latest version;
  - the second process takes the session, signs it out for both, and a password change ends it.
Every wait polls for a state with a deadline. All traffic stays on 127.0.0.1.
"""

import base64
import hashlib
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.parse
import urllib.request

SKIP = 77  # CTest's SKIP_RETURN_CODE for this test
PASSWORD = "砚舟-console-密码"
HERE = os.path.dirname(os.path.abspath(__file__))
INSTANCE = os.path.join(HERE, "..", "..", "scripts", "postgres-instance")
# The smallest PNG: one white pixel.
PNG = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108020000009077"
    "53de0000000c49444154789c63f8ffff3f0005fe02fe0def46b80000000049454e44ae426082")
# 37 bytes: a GIF's first bytes, then a page a browser would run if the picture were sniffed.
FAKE_GIF = b"GIF89a<html><script>alert(1)</script>"

try:
    from selenium import webdriver
    from selenium.common.exceptions import TimeoutException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support import expected_conditions
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("SKIP: python3-selenium is not installed (scripts/install-deps installs it)")
    sys.exit(SKIP)


def find_program(*names):
    for name in names:
        path = shutil.which(name) or (name if os.path.exists(name) else None)
        if path:
            return path
    return None


def wait_until(what, condition, seconds=30):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.05)


class Server:
    """One yanzhou-server process on a free loopback port."""

    def __init__(self, binary, database, log_dir, name, tls):
        self.log = open(os.path.join(log_dir, name + ".log"), "w+")
        arguments = [binary, "--database", database, "--port", "0", "--address", "127.0.0.1", "--console-port", "0"]
        if tls:
            arguments += ["--console-tls-cert", tls.certificate, "--console-tls-key", tls.key]
        self.process = subprocess.Popen(arguments, stdout=subprocess.PIPE, stderr=self.log, text=True)
        line = self.process.stdout.readline()  # the line it prints when ready
        console_line = self.process.stdout.readline()  # and the console's own address
        scheme = "https" if tls else "http"
        if "http://127.0.0.1:" not in line or "console on %s://127.0.0.1:" % scheme not in console_line:
            self.stop()
            self.log.seek(0)
            raise AssertionError("server did not start: " + line + console_line + self.log.read())
        self.base = line.strip().split()[-1]
        self.console_base = console_line.strip().split()[-1].removesuffix("/admin/")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=30)
        self.log.close()


class ConsoleCertificate:
    """A self-signed certificate for 127.0.0.1 in `work_dir`, as an operator would make one."""

    def __init__(self, work_dir):
        self.certificate = os.path.join(work_dir, "console.crt")
        self.key = os.path.join(work_dir, "console.key")
        made = subprocess.run(
            ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
             "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", self.key, "-out", self.certificate],
            capture_output=True)
        assert made.returncode == 0, made.stderr
        # Chromium trusts this one key for this browser alone: the base64 SHA-256 of its public key.
        public_key = subprocess.run(["openssl", "x509", "-pubkey", "-noout", "-in", self.certificate],
                                    capture_output=True, check=True).stdout
        der = subprocess.run(["openssl", "pkey", "-pubin", "-outform", "der"], input=public_key,
                             capture_output=True, check=True).stdout
        self.spki_hash = base64.b64encode(hashlib.sha256(der).digest()).decode()
        # The test's own requests trust it as their only authority, with the name checked.
        self.context = ssl.create_default_context(cafile=self.certificate)


class NoRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args, **kwargs):
        return None


TLS_CONTEXT = None  # set when the consoles run over HTTPS


def fetch(url, data=None, headers=None):
    """(status, body bytes, headers) without following redirects."""
    request = urllib.request.Request(url, data=data, headers=headers or {})
    opener = urllib.request.build_opener(NoRedirect, urllib.request.HTTPSHandler(context=TLS_CONTEXT))
    try:
        with opener.open(request, timeout=20) as answer:
            return answer.status, answer.read(), answer.headers
    except urllib.error.HTTPError as error:
        return error.code, error.read(), error.headers


def gbk_query(**values):
    return "&".join(k + "=" + urllib.parse.quote(v.encode("gbk"), safe="") for k, v in values.items())


def program_get(server, target):
    status, body, _ = fetch(server.base + target)
    assert status == 200, (target, status)
    return body.decode("gbk")


def publish(server, pen, work, motto, link):
    body = program_get(server, "/tjfb.asp?" + gbk_query(zz=pen, sm=work, fy=motto, zplj=link))
    assert body == "作品发布成功!", body


def make_database(work_dir, use_postgres):
    """(database argument, clean-up function)."""
    if not use_postgres:
        return os.path.join(work_dir, "server.sqlite"), lambda: None
    pg_dir = tempfile.mkdtemp(prefix="yz-pg.", dir="/tmp")
    started = subprocess.run([INSTANCE, "start", pg_dir], capture_output=True, text=True)
    if started.returncode == 3:
        shutil.rmtree(pg_dir, ignore_errors=True)
        print("SKIP: " + started.stderr.strip())
        sys.exit(SKIP)
    assert started.returncode == 0, started.stderr

    def stop():
        subprocess.run([INSTANCE, "stop", pg_dir], capture_output=True)
        shutil.rmtree(pg_dir, ignore_errors=True)

    return started.stdout.strip(), stop


def start_browser(work_dir, tls):
    chromium = find_program("chromium", "chromium-browser")
    driver_path = find_program("chromedriver", "/usr/lib/chromium/chromedriver")
    if not chromium or not driver_path:
        print("SKIP: chromium and chromium-driver are not installed (scripts/install-deps installs them)")
        sys.exit(SKIP)
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for argument in [
            "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
            "--user-data-dir=" + os.path.join(work_dir, "chromium"), "--window-size=420,900",
            # Nothing but the servers under test: no name resolves except loopback, and the
            # browser's own background traffic (updates, sync, reports) is off.
            "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-domain-reliability", "--disable-client-side-phishing-detection",
            "--no-first-run", "--no-default-browser-check", "--metrics-recording-only",
            "--disable-features=OptimizationHints,MediaRouter,Translate,AutofillServerCommunication"]:
        options.add_argument(argument)
    if tls:
        options.add_argument("--ignore-certificate-errors-spki-list=" + tls.spki_hash)
    service = Service(executable_path=driver_path, log_output=os.path.join(work_dir, "chromedriver.log")) \
        if "log_output" in Service.__init__.__code__.co_varnames else \
        Service(executable_path=driver_path, log_path=os.path.join(work_dir, "chromedriver.log"))
    return webdriver.Chrome(service=service, options=options)


def notice_text(driver):
    # One script reads the page as it is at that moment: no element handle is kept that a page
    # change could leave behind. Every page waited on is also checked for U+FFFD, the mark of a
    # text that reached the UTF-8 page in another encoding.
    notice, text = driver.execute_script(
        "const notice = document.querySelector('.notice');"
        "return [notice ? notice.innerText : '', document.body ? document.body.innerText : ''];")
    assert "\ufffd" not in text, text
    return notice


def assert_no_replacement_character(driver):
    notice_text(driver)


def check_refusals(console, spam_id, session_cookie):
    # No session: a page sends to the sign-in, an action is refused, nothing is deleted.
    status, _, headers = fetch(console.console_base + "/admin/works")
    assert status == 303 and headers["Location"].endswith("/admin/sign-in"), status
    status, _, _ = fetch(console.console_base + "/admin/works/delete", data=b"id=%d&csrf=x" % spam_id)
    assert status == 403, status
    # A live session with a wrong CSRF token: refused too.
    status, _, _ = fetch(console.console_base + "/admin/works/delete", data=b"id=%d&csrf=%s" % (spam_id, b"0" * 64),
                         headers={"Cookie": "yz_console=" + session_cookie})
    assert status == 403, status
    status, _, _ = fetch(console.console_base + "/admin/works/delete", data=b"id=%d" % spam_id,
                         headers={"Cookie": "yz_console=" + session_cookie})
    assert status == 403, status


def check_transport(server, tls):
    # Over HTTPS every cookie is Secure and the browser is told to keep to HTTPS; on plain loopback
    # HTTP neither is said, or the browser would drop the cookie.
    status, _, headers = fetch(server.console_base + "/admin/sign-in")
    assert status == 200, status
    cookies = headers.get_all("Set-Cookie") or []
    assert cookies, headers
    for cookie in cookies:
        assert ("; Secure" in cookie) == bool(tls), cookie
    assert headers["Strict-Transport-Security"] == ("max-age=31536000" if tls else None), headers


def main():
    global TLS_CONTEXT
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    use_postgres = "--postgres" in sys.argv[2:]
    work_dir = tempfile.mkdtemp(prefix="yz-console.")
    database, stop_database = make_database(work_dir, use_postgres)
    # One store over HTTPS and one over plain HTTP keep both ways covered at the cost of one run each.
    tls = ConsoleCertificate(work_dir) if use_postgres else None
    TLS_CONTEXT = tls.context if tls else None
    servers = []
    driver = None
    try:
        setting = subprocess.run([binary, "--database", database, "set-console-password"],
                                 input=PASSWORD + "\n", capture_output=True, text=True)
        assert setting.returncode == 0, setting.stderr
        console = Server(binary, database, work_dir, "console", tls)
        servers.append(console)
        program = Server(binary, database, work_dir, "program", tls)
        servers.append(program)
        check_transport(console, tls)

        publish(program, "青山客", "砚边集", "十年磨一剑", "http://127.0.0.1/book/1")
        publish(program, "广告号", "免费领取", "点我发财", "http://127.0.0.1/spam")
        assert "免费领取" in program_get(console, "/cxzp.asp")
        status, _, _ = fetch(program.base + "/jyfk.asp?" + gbk_query(nc="读者甲", zw="希望加上夜间模式，谢谢开发者"))
        assert status == 200

        driver = start_browser(work_dir, tls)
        wait = WebDriverWait(driver, 30, poll_frequency=0.05)

        driver.get(console.console_base + "/admin/works")
        wait.until(lambda d: d.current_url.endswith("/admin/sign-in"))
        driver.find_element(By.ID, "password").send_keys("wrong password")
        driver.find_element(By.ID, "sign-in").click()
        wait.until(lambda d: "密码不正确" in notice_text(d))
        driver.find_element(By.ID, "password").send_keys(PASSWORD)
        driver.find_element(By.ID, "sign-in").click()
        wait.until(lambda d: d.current_url.endswith("/admin/works"))
        cookie = driver.get_cookie("yz_console")
        assert cookie and cookie["httpOnly"] and cookie.get("sameSite") == "Strict", cookie
        assert cookie.get("secure", False) == bool(tls), cookie

        assert_no_replacement_character(driver)
        spam = driver.find_element(By.XPATH, "//div[contains(@class,'item')][contains(., '免费领取')]")
        spam_id = int(spam.get_attribute("id").split("-")[1])
        check_refusals(console, spam_id, cookie["value"])
        assert "免费领取" in program_get(program, "/cxzp.asp")

        spam.find_element(By.NAME, "delete").click()
        wait.until(expected_conditions.alert_is_present()).accept()
        wait.until(lambda d: "作品已删除" in notice_text(d))
        # The other process keeps its showcase until it next looks at the works stamp.
        showcase = wait_until("the deleted work gone from the other process's showcase",
                              lambda: (lambda text: text if "免费领取" not in text else None)(
                                  program_get(program, "/cxzp.asp")), seconds=5)
        assert "砚边集" in showcase, showcase

        # Searching by a Chinese word.
        box = driver.find_element(By.NAME, "q")
        box.send_keys("砚边")
        box.submit()
        wait.until(lambda d: "q=" in d.current_url)
        assert len(driver.find_elements(By.CSS_SELECTOR, ".item")) == 1

        # The announcement: a link GBK cannot hold is refused and nothing is stored.
        driver.get(console.console_base + "/admin/announcement")
        picture = os.path.join(work_dir, "announcement.png")
        with open(picture, "wb") as file:
            file.write(PNG)
        driver.find_element(By.ID, "image").send_keys(picture)
        link = driver.find_element(By.ID, "link")
        link.clear()
        link.send_keys("http://127.0.0.1/活动\U0001F389")
        driver.find_element(By.ID, "shown").click()
        driver.find_element(By.ID, "save").click()
        wait.until(lambda d: "GBK 无法表示" in notice_text(d))
        assert program_get(program, "/lszbgg.asp?id=1") == ""

        driver.find_element(By.ID, "image").send_keys(picture)
        link = driver.find_element(By.ID, "link")
        link.clear()
        link.send_keys("http://127.0.0.1/活动")
        if not driver.find_element(By.ID, "shown").is_selected():
            driver.find_element(By.ID, "shown").click()
        driver.find_element(By.ID, "save").click()
        wait.until(lambda d: "公告已保存" in notice_text(d))
        answer = program_get(program, "/lszbgg.asp?id=1")
        assert answer == "announcement.png●http://127.0.0.1/活动●真", answer
        status, image, _ = fetch(program.base + "/announcement.png")
        assert status == 200 and image == PNG
        preview = driver.find_element(By.ID, "preview")
        assert (preview.size["width"], preview.size["height"]) == (360, 260), preview.size
        assert "/admin/announcement-picture" in preview.value_of_css_property("background-image")
        # The preview's picture comes from the console's own port, as the signed-in browser asks.
        loaded = driver.execute_async_script(
            "const done = arguments[0]; const image = new Image();"
            "image.onload = () => done(image.naturalWidth); image.onerror = () => done(0);"
            "image.src = '/admin/announcement-picture';")
        assert loaded > 0, loaded

        # A web page behind a GIF header is no picture, and a javascript: link no web link: each is
        # refused with its message, and what the program serves stays as it was.
        fake = os.path.join(work_dir, "notice.gif")
        with open(fake, "wb") as file:
            file.write(FAKE_GIF)
        for upload, typed_link, message in [(fake, "http://127.0.0.1/新活动", "并非图片"),
                                            (None, "javascript:alert(1)", "必须以 http:// 或 https:// 开头")]:
            if upload:
                driver.find_element(By.ID, "image").send_keys(upload)
            link = driver.find_element(By.ID, "link")
            link.clear()
            link.send_keys(typed_link)
            driver.find_element(By.ID, "save").click()
            wait.until(lambda d: message in notice_text(d))
            answer = program_get(program, "/lszbgg.asp?id=1")
            assert answer == "announcement.png●http://127.0.0.1/活动●真", (typed_link, answer)
            status, image, headers = fetch(program.base + "/announcement.png")
            assert status == 200 and image == PNG and headers["X-Content-Type-Options"] == "nosniff", headers

        # The feedback inbox: newest first, marked as read.
        driver.get(console.console_base + "/admin/feedback")
        item = driver.find_element(By.CSS_SELECTOR, ".item.unread")
        assert "夜间模式" in item.text
        assert_no_replacement_character(driver)
        item.find_element(By.TAG_NAME, "button").click()
        wait.until(lambda d: "已标为已读" in notice_text(d))
        assert not driver.find_elements(By.CSS_SELECTOR, ".item.unread")

        # The latest version.
        driver.get(console.console_base + "/admin/version")
        field = driver.find_element(By.ID, "version")
        field.clear()
        field.send_keys("4.3")
        field.submit()
        wait.until(lambda d: "最新版本号已保存" in notice_text(d))
        assert program_get(program, "/ybtwzp.asp?id=1") == "4.3"

        # The second process knows the session (a cookie is not bound to a port): an action there
        # works, and signing out there ends the session on the first process too.
        driver.get(program.console_base + "/admin/version")
        field = driver.find_element(By.ID, "version")
        field.clear()
        field.send_keys("4.4")
        field.submit()
        wait.until(lambda d: "最新版本号已保存" in notice_text(d))
        assert program_get(console, "/ybtwzp.asp?id=1") == "4.4"
        driver.find_element(By.CSS_SELECTOR, "form[action='/admin/sign-out'] button").click()
        wait.until(lambda d: d.current_url.endswith("/admin/sign-in"))
        status, _, _ = fetch(console.console_base + "/admin/works", headers={"Cookie": "yz_console=" + cookie["value"]})
        assert status == 303, status

        # A password change ends the session signed in before it, on both processes.
        driver.find_element(By.ID, "password").send_keys(PASSWORD)
        driver.find_element(By.ID, "sign-in").click()
        wait.until(lambda d: d.current_url.endswith("/admin/works"))
        session = driver.get_cookie("yz_console")["value"]
        status, _, _ = fetch(console.console_base + "/admin/works", headers={"Cookie": "yz_console=" + session})
        assert status == 200, status
        setting = subprocess.run([binary, "--database", database, "set-console-password"],
                                 input="another long password\n", capture_output=True, text=True)
        assert setting.returncode == 0, setting.stderr
        for server in (console, program):
            status, _, _ = fetch(server.console_base + "/admin/works", headers={"Cookie": "yz_console=" + session})
            assert status == 303, status
        print("console in the browser: all checks passed (%s)" % ("PostgreSQL" if use_postgres else "SQLite"))
        return 0
    except (AssertionError, TimeoutException) as failure:
        if driver is not None:
            driver.save_screenshot(os.path.join(work_dir, "failure.png"))
            print("page at failure: " + driver.current_url)
            print(driver.execute_script("return document.body ? document.body.innerText : ''"))
        print("FAILED: %r (files kept in %s)" % (failure, work_dir))
        work_dir = None
        return 1
    finally:
        if driver is not None:
            driver.quit()
        for server in servers:
            server.stop()
        stop_database()
        if work_dir:
            shutil.rmtree(work_dir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
