// End-to-end test of the pit view with a real browser: orvanrx-cli replays a generated race
// day with the pit view on, headless Chromium (driven over its DevTools protocol through a
// pipe) opens the page with the key, sees the slip of the race on track appear and change,
// sees the My Car banner, and gets 403 without the key; once the program ends, the page says
// it is not live. Exit 0 passed, 1 failed, 77 skipped (no Chromium).
//
//   node PitViewBrowserTest.mjs ORVANRX_CLI [SCREENSHOT_DIR]

import { spawn, spawnSync } from "node:child_process";
import { existsSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const cli = process.argv[2];
const shots = process.argv[3] || process.env.PITVIEW_SCREENSHOTS || "";
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => existsSync(p));
if (!chromium) {
  console.log("SKIP: no Chromium (Debian package chromium) on this machine");
  process.exit(77);
}

const work = mkdtempSync(join(tmpdir(), "pitview-e2e-"));
const env = { ...process.env, XDG_CONFIG_HOME: join(work, "config"), QT_QPA_PLATFORM: "offscreen" };
const children = [];
let failed = false;

function fail(message) {
  console.error("FAIL: " + message);
  failed = true;
  throw new Error(message);
}
function runCli(args) {
  const result = spawnSync(cli, args, { env, encoding: "utf8", maxBuffer: 64 << 20 });
  if (result.status !== 0) {
    fail(`orvanrx-cli ${args.join(" ")} exited ${result.status}: ${result.stderr}`);
  }
  return result.stdout;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The DevTools protocol over --remote-debugging-pipe: JSON messages ended by a NUL byte, ours
// on the browser's fd 3, its own on fd 4.
class Browser {
  constructor() {
    this.proc = spawn(chromium, [
      "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
      "--no-first-run", "--no-default-browser-check", "--disable-extensions",
      "--disable-background-networking", "--disable-dev-shm-usage",
      `--user-data-dir=${join(work, "profile")}`, "about:blank",
    ], { stdio: ["ignore", "ignore", "ignore", "pipe", "pipe"], env });
    children.push(this.proc);
    this.next = 1;
    this.pending = new Map();
    this.listeners = [];
    let buffer = "";
    this.proc.stdio[4].on("data", (chunk) => {
      buffer += chunk.toString("utf8");
      let end;
      while ((end = buffer.indexOf("\0")) >= 0) {
        const message = JSON.parse(buffer.slice(0, end));
        buffer = buffer.slice(end + 1);
        if (message.id && this.pending.has(message.id)) {
          const { resolve, reject } = this.pending.get(message.id);
          this.pending.delete(message.id);
          message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
        } else if (message.method) {
          this.listeners.forEach((l) => l(message));
        }
      }
    });
  }
  send(method, params = {}, sessionId) {
    const id = this.next++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.proc.stdio[3].write(JSON.stringify(message) + "\0");
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      setTimeout(() => reject(new Error(`${method}: no answer`)), 20000);
    });
  }
  async page() {
    const { targetInfos } = await this.send("Target.getTargets");
    const target = targetInfos.find((t) => t.type === "page");
    const { sessionId } = await this.send("Target.attachToTarget", { targetId: target.targetId, flatten: true });
    const call = (method, params) => this.send(method, params, sessionId);
    await call("Page.enable");
    await call("Network.enable");
    await call("Emulation.setDeviceMetricsOverride", { width: 390, height: 844, deviceScaleFactor: 2, mobile: true });
    return {
      call,
      statuses: [],
      async evaluate(expression) {
        const { result } = await call("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
        return result.value;
      },
      async navigate(url) {
        await call("Page.navigate", { url });
        await sleep(300);
      },
      async screenshot(name) {
        if (!shots) return;
        const { data } = await call("Page.captureScreenshot", { format: "png" });
        writeFileSync(join(shots, name), Buffer.from(data, "base64"));
      },
      listen: (sessionListener) => this.listeners.push((m) => m.sessionId === sessionId && sessionListener(m)),
    };
  }
}

async function waitFor(what, check, timeoutMs = 20000) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > until) fail(`timed out waiting for ${what}`);
    await sleep(40);
  }
}

async function main() {
  // A race day and, from a first quick replay, the cars of its third race.
  writeFileSync(join(work, "day.trace"), runCli(["simulate", "--races", "5", "--seed", "7"]));
  const lines = runCli(["replay", join(work, "day.trace"), "--log", join(work, "first.csv")]).split("\n");
  const pairs = [...new Set(lines.map((l) => (l.match(/\| L \S+\/(\S+) .*\| R \S+\/(\S+)/) || []).slice(1, 3).join(" ")).filter(Boolean))];
  if (pairs.length < 4) fail(`expected at least 4 races in the day, got ${pairs.length}`);
  const myCar = pairs[2].split(" ")[0];
  runCli(["settings", "set", "SOFTWARE\\OrvanRX\\MyCar\\", "Numbers", myCar]);
  const key = runCli(["pit-view", "key"]).trim();
  if (!/^[0-9a-f]{32,}$/.test(key)) fail(`pit-view key printed '${key}'`);

  const browser = new Browser();
  const page = await browser.page();
  page.listen((m) => {
    if (m.method === "Network.responseReceived" && m.params.type === "Document") {
      page.statuses.push(m.params.response.status);
    }
  });

  const replay = spawn(cli, ["replay", join(work, "day.trace"), "--log", join(work, "log.csv"),
    "--quiet", "--pit-view", "0", "--listen", "127.0.0.1", "--tick-ms", "25"], { env, stdio: ["ignore", "pipe", "inherit"] });
  children.push(replay);
  let out = "";
  replay.stdout.on("data", (d) => (out += d));
  const address = await waitFor("the pit view's address", () => (out.match(/Pit view: (http:\/\/\S+)/) || [])[1]);
  if (!address.endsWith(`?key=${key}`)) fail(`address ${address} does not carry the key`);
  const origin = new URL(address).origin;

  // Without the key, with a wrong one: 403 and nothing else.
  await page.navigate(`${origin}/`);
  await waitFor("the answer without the key", () => page.statuses.length >= 1);
  const bareText = await page.evaluate("document.body ? document.body.innerText.trim() : ''");
  await page.navigate(`${origin}/?key=${"0".repeat(key.length)}`);
  await waitFor("the answer to a wrong key", () => page.statuses.length >= 2);
  if (page.statuses[0] !== 403 || page.statuses[1] !== 403) fail(`without/with a wrong key: ${page.statuses}`);
  if (bareText !== "403 Forbidden") fail(`the 403 page shows '${bareText}'`);

  // With the key: the page goes live, the slip of the race on track appears and changes.
  await page.navigate(address);
  if (page.statuses[2] !== 200) fail(`with the key: ${page.statuses[2]}`);
  await waitFor("LIVE", async () => (await page.evaluate("document.getElementById('status').textContent")) === "LIVE");
  const slipText = "document.getElementById('slip').innerText";
  const first = await waitFor("a slip", async () => {
    const t = await page.evaluate(slipText);
    return /LEFT/.test(t) && t;
  });
  const changed = await waitFor("the slip to change", async () => {
    const t = await page.evaluate(slipText);
    return t !== first && /LEFT/.test(t) && t;
  });
  const etCells = await waitFor("an elapsed time on the slip", async () => {
    const v = await page.evaluate("[...document.querySelectorAll('#slip td[data-field=et1320]')].map(td => td.textContent).join(' ')");
    return /\d\.\d{3}/.test(v) && v;
  });
  await page.screenshot("pitview-mid-race.png");
  console.log(`slip appeared and changed; 1/4 ET cells: ${etCells}`);
  void changed;

  // The My Car race: the banner names the car, the My cars view shows its runs and dial-in.
  const banner = await waitFor("the My Car banner", async () => {
    const b = await page.evaluate("(() => { const b = document.getElementById('banner'); return b.className === 'show' ? b.innerText : ''; })()");
    return b;
  }, 30000);
  if (!banner.includes(myCar)) fail(`banner '${banner}' does not name car ${myCar}`);
  await waitFor("the win light of the My Car race", async () => (await page.evaluate("document.querySelectorAll('#slip .win').length")) === 1, 30000);
  await page.screenshot("pitview-my-car.png");
  await page.evaluate("document.querySelector('nav button[data-view=mineView]').click()");
  const mine = await waitFor("the racer's runs", async () => {
    const t = await page.evaluate("document.getElementById('mine').innerText");
    return t.includes(`Car ${myCar}`) && /Next dial-in/.test(t) && t;
  });
  await page.screenshot("pitview-my-cars.png");
  console.log(`banner: ${banner.replace(/\n/g, " / ")}`);
  console.log(`my cars: ${mine.split("\n").slice(0, 4).join(" / ")}`);

  // The socket refuses a wrong key from the page's own origin too.
  const refused = await page.evaluate(`new Promise((done) => {
    const ws = new WebSocket("ws://" + location.host + "/live?key=${"f".repeat(key.length)}");
    ws.onopen = () => done("opened"); ws.onerror = () => done("refused"); setTimeout(() => done("timeout"), 5000); })`);
  if (refused !== "refused") fail(`a socket with a wrong key: ${refused}`);

  // The program ends: the page says so.
  replay.kill("SIGTERM");
  await waitFor("the replay to end", () => replay.exitCode !== null);
  if (replay.exitCode !== 0) fail(`replay exited ${replay.exitCode}`);
  await waitFor("NOT LIVE", async () => /NOT LIVE/.test(await page.evaluate("document.getElementById('status').textContent")));
  await browser.send("Browser.close").catch(() => {});
  console.log("PASS");
}

main()
  .catch((error) => {
    if (!failed) console.error("FAIL: " + (error && error.stack ? error.stack : error));
    failed = true;
  })
  .finally(async () => {
    for (const child of children) {
      if (child.exitCode === null) child.kill("SIGKILL");
    }
    await sleep(100);
    rmSync(work, { recursive: true, force: true });
    process.exit(failed ? 1 : 0);
  });
