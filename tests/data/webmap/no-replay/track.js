/* -------------------------------------*/
/* Google Maps表示用　JavaScriptファイル */
/* -------------------------------------*/


/* [グローバル変数] */
var map;
var points = new Array();
var count1 = 0;
var count2 = 3;
var dispLineObj;
var timer;
var divUnit = 100;
var roopCount;
var odd;
var divData; // 2次元配列
var LineNum;
var N;
var polyObj;
var mode; // 0:Trail, 1:Draw
var stopStatus = false;
var Drawflag = false;
var startflag = false;
var CurrentN; /* 一時停止用に分割数を保持する */
var flagDrawEnd; /* 描画しているか */

/* パラメータ設定用 */
var lineColor = "#ff0000";
var lineWidth = 3;
var lineTrans = 0.7;
var midPoint = new GLatLng(34.009498, 135.009506);
var minPoint = new GLatLng(34.000000, 135.000009);
var maxPoint = new GLatLng(34.018996, 135.019004);



/* [関数]地図データのセット */
function setMap()
{
	map = new GMap(document.getElementById("map"));
	map.addControl(new GLargeMapControl());
	map.addControl(new GMapTypeControl());
	map.addControl(new GScaleControl());
	map.setMapType(G_NORMAL_MAP);
	map.addControl(new GOverviewMapControl());
	map.setCenter( midPoint, map.getBoundsZoomLevel(new GLatLngBounds(minPoint, maxPoint)) );

	/* データ取得 */
	pushData();

	/* トラック表示 */
	displayLine();
}




/* [関数]Trackデータを表示 */
function displayLine()
{

	map.addOverlay(dispLineObj = new GPolyline(points, lineColor , lineWidth , lineTrans));
	flagDrawEnd = true;

}




/* [関数]Trackデータを削除 */
function eraseLine()
{
	map.removeOverlay(dispLineObj);
}




/* [関数]描画ON/OFF(ルート再生OFF時) */
function routeOnOff(obj)
{

	/* 消去する場合 */
    if(flagDrawEnd == true){

    	flagDrawEnd = false;
	    obj.value = "描画";
		eraseLine();


    }else if(flagDrawEnd == false){ /* 描画する場合 */

    	flagDrawEnd = true;
	    obj.value = "消去";
	    displayLine();
    }

}




/* [関数]緯度・経度データをプッシュ */
function pushData()
{
	points.push(new GLatLng(34.000000, 135.000009));
	points.push(new GLatLng(34.001001, 135.001007));
	points.push(new GLatLng(34.002001, 135.002005));
	points.push(new GLatLng(34.003002, 135.003003));
	points.push(new GLatLng(34.004002, 135.004004));
	points.push(new GLatLng(34.004996, 135.005005));
	points.push(new GLatLng(34.005997, 135.005998));
	points.push(new GLatLng(34.007001, 135.006999));
	points.push(new GLatLng(34.008004, 135.008000));
	points.push(new GLatLng(34.009005, 135.009001));
	points.push(new GLatLng(34.010006, 135.010002));
	points.push(new GLatLng(34.010999, 135.011003));
	points.push(new GLatLng(34.012000, 135.012004));
	points.push(new GLatLng(34.013000, 135.013005));
	points.push(new GLatLng(34.014001, 135.014006));
	points.push(new GLatLng(34.015001, 135.015007));
	points.push(new GLatLng(34.016002, 135.016008));
	points.push(new GLatLng(34.016995, 135.017008));
	points.push(new GLatLng(34.017996, 135.018006));
	points.push(new GLatLng(34.018996, 135.019004));

}
