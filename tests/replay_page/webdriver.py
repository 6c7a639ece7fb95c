"""A headless Debian chromium under chromedriver (WebDriver over HTTP on
127.0.0.1), for the replay page's test and its benchmark. Every request is
bounded in time; close() ends the browser and the driver."""
import json
import shutil
import socket
import subprocess
import time
import urllib.request

CHROME_ARGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--window-size=1200,800"]


class Browser:
    def __init__(self, profile):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.port = s.getsockname()[1]
        self.driver = subprocess.Popen(["chromedriver", f"--port={self.port}", "--silent"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while True:
            try:
                self.call("GET", "/status")
                break
            except OSError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.1)
        caps = {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
            "binary": shutil.which("chromium") or "/usr/bin/chromium",
            "args": CHROME_ARGS + [f"--user-data-dir={profile}"]}}}}
        self.session = self.call("POST", "/session", caps)["sessionId"]

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", data=data,
                                         method=method,
                                         headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(request, timeout=30) as response:
            return json.loads(response.read())["value"]

    def command(self, method, path, body=None):
        return self.call(method, f"/session/{self.session}{path}", body)

    def open(self, url):
        self.command("POST", "/url", {"url": url})

    def js(self, script, *args):
        return self.command("POST", "/execute/sync", {"script": script, "args": list(args)})

    def js_async(self, script, *args):
        return self.command("POST", "/execute/async", {"script": script, "args": list(args)})

    def keys(self, *keys):
        actions = []
        for k in keys:
            actions += [{"type": "keyDown", "value": k}, {"type": "keyUp", "value": k}]
        self.command("POST", "/actions",
                      {"actions": [{"type": "key", "id": "keyboard", "actions": actions}]})

    def close(self):
        try:
            self.command("DELETE", "")
        finally:
            self.driver.terminate()
            self.driver.wait(timeout=10)
